#include "app/CViewLinks.h"

#include <algorithm>

#include "app/CMy3DTabViewContainer.h"
#include "jobdata/TableTexts.h"
#include "mapview/CFarklarView.h"
#include "mapview/CHaritaPane.h"
#include "mapview/CHaritaView.h"
#include "session/JobSession.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CKontrolView.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"

namespace {

constexpr int kKontrolPage = 1;  // beside the point matching table
constexpr int kMapPage = 1;      // beside the point table
constexpr int kPlotsPage = 2;    // beside "Kontrol"

bool Shows(const CMy3DTabViewContainer* container, int page) { return container && container->currentIndex() == page; }

template <typename View>
View* PageZero(CMy3DTabViewContainer* container) {
  return container ? qobject_cast<View*>(container->GetPage(0)) : nullptr;
}

}  // namespace

CViewLinks::CViewLinks(JobSession& session, Panes panes, Tabs tabs, std::function<void(const QString&)> verdict,
                       QObject* pParent)
    : QObject(pParent), m_session(session), m_panes(panes), m_tabs(tabs), m_verdict(std::move(verdict)) {
  Connect();
}

CTSJView* CViewLinks::JobFilesView() const { return PageZero<CTSJView>(m_panes.jobFiles); }
CGPSNoktaView* CViewLinks::PointView() const { return PageZero<CGPSNoktaView>(m_panes.points); }
CVelmiraView* CViewLinks::PairView() const { return PageZero<CVelmiraView>(m_panes.pairs); }

bool CViewLinks::ShowTab(const QString& name) {
  if (name == QStringLiteral("harita")) return m_panes.points->SetActivePageIndex(kMapPage);
  if (name == QStringLiteral("kontrol")) return m_panes.pairs->SetActivePageIndex(kKontrolPage);
  if (name == QStringLiteral("farklar")) return m_panes.pairs->SetActivePageIndex(kPlotsPage);
  return false;
}

bool CViewLinks::ShowsMap() const { return m_tabs.harita && Shows(m_panes.points, kMapPage); }
bool CViewLinks::ShowsPlots() const { return m_tabs.farklar && Shows(m_panes.pairs, kPlotsPage); }

void CViewLinks::Connect() {
  if (m_tabs.kontrol) connect(m_tabs.kontrol, &CKontrolView::FindingActivated, this, &CViewLinks::ShowFinding);
  if (m_tabs.harita) connect(m_tabs.harita->Map(), &CHaritaView::PointClicked, this, &CViewLinks::ShowMapPoint);
  if (m_tabs.farklar) connect(m_tabs.farklar, &CFarklarView::PairClicked, this, &CViewLinks::ShowPlotPair);
  if (CGPSNoktaView* points = PointView()) {
    connect(points->GetGridCtrl(), &CGridCtrl::SelectionChanged, this, [this] { ShowPointSelection(); });
    connect(points, &CGridView::ChecksChanged, this, &CViewLinks::ShowTicksOnMap);
  }
  if (CVelmiraView* pairs = PairView()) {
    connect(pairs->GetGridCtrl(), &CGridCtrl::SelectionChanged, this, [this] { ShowPairSelection(); });
  }
  for (CMy3DTabViewContainer* container : {m_panes.points, m_panes.pairs}) {
    connect(container, &QTabWidget::currentChanged, this, [this] { RefreshPictures(); });
  }
}

void CViewLinks::ShowCheck() {
  const std::vector<Finding>& findings = m_session.Findings();
  const bool changed = IsChangedBuiltIn(m_session.Profile());
  if (m_tabs.kontrol) m_tabs.kontrol->Fill(findings, changed);
  if (CGPSNoktaView* view = PointView()) view->ApplyFindings(findings);
  if (CVelmiraView* view = PairView()) {
    view->Recolour();
    view->ApplyFindings(findings);
  }
  RefreshPictures();
  // With no job file there is nothing to judge; the bar says what it always said.
  const bool empty = m_session.Document().TsjList().empty();  // a job file without points is judged
  if (m_verdict) m_verdict(empty ? QStringLiteral("Ready") : VerdictText(Summarize(findings), changed));
}

void CViewLinks::ShowFinding(const Finding& finding) {
  CVelmiraDoc& doc = m_session.Document();
  if (finding.target == Finding::Target::Pair) {
    const auto& pairs = doc.EslesenList();
    const auto pair = std::find_if(pairs.begin(), pairs.end(), [&](const CEslesenNokta& e) { return e.nPairNo == finding.nIndex; });
    const auto& points = doc.NoktaList();
    const auto first = pair == pairs.end() ? points.end()
                                           : std::find_if(points.begin(), points.end(), [&](const CTarvekNokta& p) { return p.nIndex == pair->nIndex1; });
    if (first != points.end()) doc.ShowFilePoints(first->nFileNumber);
    m_panes.pairs->SetActivePageIndex(0);
    if (CVelmiraView* view = PairView()) view->SelectRowWithKey(kPairNoColumn, finding.nIndex);
    return;
  }
  doc.ShowFilePoints(finding.nFileNumber);
  if (CTSJView* files = JobFilesView()) files->SelectRowWithKey(CTSJView::kFileNumberColumn, finding.nFileNumber);
  if (CGPSNoktaView* view = PointView()) view->SelectRowWithKey(kPointIndexColumn, finding.nIndex);
}

void CViewLinks::ShowFilePoints(int nFileNumber) {
  if (CGPSNoktaView* view = PointView()) {
    view->Fill(nFileNumber);
    view->ApplyFindings(m_session.Findings());
  }
  // A new listing has no ticks and no selection.
  ShowTicksOnMap();
  ShowPointSelection();
}

void CViewLinks::ClearPointTables() {
  if (CGPSNoktaView* view = PointView()) view->Clear();
  if (CVelmiraView* view = PairView()) {
    m_keptPairTicks = view->CheckedObservationPairs();
    view->Clear();
  }
}

// The ticks stay on every pair whose two observations are paired again.
void CViewLinks::PairsChanged() {
  CVelmiraView* view = PairView();
  if (!view) return;
  std::vector<std::pair<int, int>> ticked = view->CheckedObservationPairs();
  ticked.insert(ticked.end(), m_keptPairTicks.begin(), m_keptPairTicks.end());
  m_keptPairTicks.clear();
  view->Fill();
  view->CheckObservationPairs(ticked);
}

void CViewLinks::RefreshPictures() {
  m_bMapStale = m_bPlotsStale = true;
  const CVelmiraDoc& doc = m_session.Document();
  if (ShowsMap()) {
    m_tabs.harita->Map()->Refresh(doc, m_session.Findings());
    m_bMapStale = false;
    ShowPointSelection();
    ShowTicksOnMap();
  }
  if (ShowsPlots()) {
    m_tabs.farklar->Refresh(doc, m_session.Profile(), m_session.Findings());
    m_bPlotsStale = false;
    ShowPairSelection();
  }
}

// The row of the point, with its job file listed first; the map stays in view.
void CViewLinks::ShowMapPoint(int nIndex, int nFileNumber) {
  CGPSNoktaView* view = PointView();
  if (!view || view->SelectRowWithKey(kPointIndexColumn, nIndex)) return;
  m_session.Document().ShowFilePoints(nFileNumber);
  if (CTSJView* files = JobFilesView()) files->SelectRowWithKey(CTSJView::kFileNumberColumn, nFileNumber);
  view->SelectRowWithKey(kPointIndexColumn, nIndex);
}

void CViewLinks::ShowPlotPair(int nPairNo) {
  if (CVelmiraView* view = PairView()) view->SelectRowWithKey(kPairNoColumn, nPairNo);
}

void CViewLinks::ShowPointSelection() {
  CGPSNoktaView* view = PointView();
  if (view && m_tabs.harita && !m_bMapStale) m_tabs.harita->Map()->SetSelectedPoints(view->SelectedRowKeys(kPointIndexColumn));
}

void CViewLinks::ShowPairSelection() {
  CVelmiraView* view = PairView();
  if (!view) return;
  const std::vector<int> pairNos = view->SelectedRowKeys(kPairNoColumn);
  if (m_tabs.harita && !m_bMapStale) m_tabs.harita->Map()->SetSelectedPairs(pairNos);
  if (m_tabs.farklar && !m_bPlotsStale) m_tabs.farklar->SetSelectedPairs(pairNos);
}

void CViewLinks::ShowTicksOnMap() {
  CGPSNoktaView* view = PointView();
  if (!view || !m_tabs.harita || m_bMapStale) return;
  std::vector<int> ticked;
  for (const PointKey& key : view->CheckedPointKeys()) ticked.push_back(key.nIndex);
  m_tabs.harita->Map()->SetTickedPoints(ticked);
}
