#pragma once
// The main window: toolbar, status bar and three panes, each a tab container whose
// page 0 is a table view: the job files on the left, the GPS point observations upper
// right, the point matching lower right. It owns the job session and answers the
// document's questions with dialogs; the views' links and the writing commands are
// objects of their own (CViewLinks, COutputCommands).
#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/COutputCommands.h"
#include "app/CViewLinks.h"
#include "jobdata/CDocShell.h"
#include "jobdata/CVelmiraDoc.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"
#include "session/JobSession.h"

class QAction;
class QSplitter;
class CMy3DTabViewContainer;
class CGridView;
class QLabel;

inline constexpr const char* kFrameTitle = "Velmira V 1.4 - Pelinor";

class CMainFrame : public QMainWindow, public CDocShell {
  Q_OBJECT

 public:
  enum class Pane { JobFiles, Points, Pairs };

  explicit CMainFrame(std::filesystem::path tempFolder = DefaultTempFolder(), QWidget* pParent = nullptr);
  ~CMainFrame() override;

  // The document of the job files view.
  CVelmiraDoc& GetDocument() const;
  CMy3DTabViewContainer* GetContainer(Pane pane) const;
  // The views, found as page 0 of their panes; nullptr when a pane has no page.
  CTSJView* GetJobFilesView() const { return m_pLinks->JobFilesView(); }
  CGPSNoktaView* GetPointView() const { return m_pLinks->PointView(); }
  CVelmiraView* GetPairView() const { return m_pLinks->PairView(); }
  // The "Kontrol" tab: page 1 beside the point matching table.
  CKontrolView* GetKontrolView() const { return m_pLinks->GetTabs().kontrol; }
  // The "Harita" tab beside the point table and the "Farklar" tab beside "Kontrol".
  CHaritaPane* GetHaritaPane() const { return m_pLinks->GetTabs().harita; }
  CFarklarView* GetFarklarView() const { return m_pLinks->GetTabs().farklar; }
  // Opens a tab by its name in lower case ASCII: "harita", "kontrol" or "farklar"; false
  // for any other name.
  bool ShowTab(const QString& name) { return m_pLinks->ShowTab(name); }
  // Shows where a finding lies: its job file's points, its row selected in the point or
  // pair table.
  void ShowFinding(const Finding& finding) { m_pLinks->ShowFinding(finding); }
  // The view the user last clicked into; the job files view until then.
  CGridView* GetActiveView() const;
  Pane GetActivePane() const { return m_activePane; }
  // The menu and toolbar action of a command number (Commands.h); nullptr when unknown.
  QAction* GetAction(int nCommandId) const;

  // The window's size and place as it was left in the last run; false on a first start.
  bool RestoreGeometry();
  // Keeps the window's geometry and pane sizes for the next run (also done on closing).
  void SaveLayout() const;

  // The regulation profile the check judges by; its four pair limits are the document's
  // colouring criteria. Setting it sets them and refreshes the check.
  const RuleProfile& GetActiveProfile() const { return m_pSession->Profile(); }
  void SetActiveProfile(const RuleProfile& profile);
  // Every profile offered: the built-in ones (as edited), then the user's own.
  const std::vector<RuleProfile>& GetProfiles() const { return m_profiles; }
  // Matches when the pairs are stale (files added or removed, a new tolerance), judges
  // the document again and shows the findings, the verdict and the colours.
  void RefreshCheck();
  const std::vector<Finding>& GetFindings() const { return m_pSession->Findings(); }
  JobSession& GetSession() const { return *m_pSession; }

  void SetFileDialogs(std::unique_ptr<CFileDialogs> dialogs) { m_pOutputs->SetFileDialogs(std::move(dialogs)); }
  void SetFormWriters(CFormWriters writers) { m_pOutputs->SetFormWriters(std::move(writers)); }
  // What "Klasörü Aç" does with a finished delivery folder: the system's file manager.
  void SetFolderOpener(std::function<void(const std::filesystem::path&)> opener) {
    m_pOutputs->SetFolderOpener(std::move(opener));
  }
  // The window's title: the document's name before the program's.
  void SetDocumentTitle(const QString& title);
  // The job files named on the command line (the program's own name left out), each added
  // as the open command adds it: a refused one is told and the rest still load. The first
  // one added names the window, the last one's points are listed. Arguments beginning with
  // '-' are options, not files.
  void LoadJobsFromCommandLine(const QStringList& arguments);
  // Adds a job file without the open dialogue, lists its points and matches (for
  // demonstrations and screenshots; see VELMIRA_START_JOB in main.cpp).
  void LoadJobAtStart(const std::filesystem::path& path);
  // Adds a job file as the open command does, with a progress dialogue and "Vazgeç" when
  // reading takes longer than a second.
  bool AddJobFile(const std::filesystem::path& path);

  // Commands.
  void OnTsjAc();
  void OnPoligonEslestir();
  void OnPoligonExcel() { m_pOutputs->PoligonExcel(); }
  void OnDetayExcel() { m_pOutputs->DetayExcel(); }
  void OnTeslimKlasoru() { m_pOutputs->TeslimKlasoru(); }
  void OnResimKaydet() { m_pOutputs->ResimKaydet(); }
  void OnAyarlar();
  void OnKontrolOlcutleri();
  void OnEditCopy();
  void OnAppAbout();

  // CDocShell.
  std::optional<std::filesystem::path> ChooseJobFile() override;
  void ShowMessage(std::string_view utf8Text, MessageIcon icon) override;
  std::optional<std::string> AskMeridian() override;
  std::optional<std::string> AskMountpoint(std::string_view captionCp1254, std::string_view optionCp1254) override;
  std::optional<std::string> AskMethod(std::string_view captionCp1254) override;
  bool AskSettings(CMatchCriteria& criteria) override;
  void JobFilesChanged() override;
  void ShowFilePoints(int nFileNumber) override;
  void ClearPointTables() override;
  void PairsChanged() override;

 private:
  QAction* MakeAction(int nCommandId, const QString& text, const QString& statusText, const QString& toolTip);
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateClient();
  void RestorePaneSizes();
  // Selects the last job file's row and lists its points, as a click on it would.
  void ListLastJobFile();
  void OnFocusChanged(QWidget* pOld, QWidget* pNow);
  void UpdateCopyEnabled();
  void NoteZonesOfLastFile();
  // The remembered profiles, tolerance and choice made current; and kept for the next run.
  void LoadProfiles();
  void SaveProfiles();

  std::unique_ptr<JobSession> m_pSession;
  std::unique_ptr<CViewLinks> m_pLinks;
  std::unique_ptr<COutputCommands> m_pOutputs;
  std::map<int, QAction*> m_actions;
  QSplitter* m_pOuterSplitter = nullptr;
  QSplitter* m_pInnerSplitter = nullptr;
  Pane m_activePane = Pane::JobFiles;
  QLabel* m_pIdleLabel = nullptr;
  std::vector<RuleProfile> m_profiles;
};
