#pragma once
// What ties the main window's views together: the session's findings shown in every view,
// the map and the plots following the tables (and the other way round), the ticks kept
// across a new matching. The three table views are found through their panes; the tabs
// beside them are kept from their creation.
#include <QObject>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "rules/RuleCheck.h"

class CFarklarView;
class CGPSNoktaView;
class CHaritaPane;
class CKontrolView;
class CMy3DTabViewContainer;
class CTSJView;
class CVelmiraView;
class JobSession;

class CViewLinks : public QObject {
  Q_OBJECT

 public:
  struct Panes {
    CMy3DTabViewContainer* jobFiles = nullptr;
    CMy3DTabViewContainer* points = nullptr;
    CMy3DTabViewContainer* pairs = nullptr;
  };
  struct Tabs {
    CKontrolView* kontrol = nullptr;
    CHaritaPane* harita = nullptr;
    CFarklarView* farklar = nullptr;
  };
  // verdict gets the status bar's text after every check.
  CViewLinks(JobSession& session, Panes panes, Tabs tabs, std::function<void(const QString&)> verdict,
             QObject* pParent = nullptr);

  CTSJView* JobFilesView() const;
  CGPSNoktaView* PointView() const;
  CVelmiraView* PairView() const;
  const Tabs& GetTabs() const { return m_tabs; }

  // Opens "harita", "kontrol" or "farklar"; false for any other name.
  bool ShowTab(const QString& name);
  bool ShowsMap() const;
  bool ShowsPlots() const;

  // The session's findings, verdict and colours in every view.
  void ShowCheck();
  // Where a finding lies: its job file's points, its row selected in the point or pair table.
  void ShowFinding(const Finding& finding);

  // The document's notifications, as far as the views follow them.
  void ShowFilePoints(int nFileNumber);
  void ClearPointTables();
  void PairsChanged();

 private:
  void Connect();
  // The map and the plots are rebuilt when shown; hidden, they are only marked stale.
  void RefreshPictures();
  void ShowMapPoint(int nIndex, int nFileNumber);
  void ShowPlotPair(int nPairNo);
  void ShowPointSelection();
  void ShowPairSelection();
  void ShowTicksOnMap();

  JobSession& m_session;
  Panes m_panes;
  Tabs m_tabs;
  std::function<void(const QString&)> m_verdict;
  bool m_bMapStale = true;
  bool m_bPlotsStale = true;
  // The ticked pairs' observations while the pair table is emptied for a new matching.
  std::vector<std::pair<int, int>> m_keptPairTicks;
};
