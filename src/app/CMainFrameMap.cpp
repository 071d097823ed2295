// The map and the difference plots in the main window, tied to the tables: a click on
// either selects the row it stands for, selecting or ticking rows shows on them, and
// "Resim Olarak Kaydet..." saves the one shown.
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include "app/CMainFrame.h"
#include "app/CMy3DTabViewContainer.h"
#include "mapview/CFarklarView.h"
#include "mapview/CHaritaPane.h"
#include "mapview/CHaritaView.h"
#include "mapview/Pictures.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMapPage = 1;     // beside the point table
constexpr int kPlotsPage = 2;   // beside "Kontrol"
constexpr int kStatusMs = 10000;

bool Shows(const CMy3DTabViewContainer* container, int page) {
  return container && container->currentIndex() == page;
}

}  // namespace

CHaritaPane* CMainFrame::GetHaritaPane() const {
  CMy3DTabViewContainer* container = GetContainer(Pane::Points);
  return container ? qobject_cast<CHaritaPane*>(container->GetPage(kMapPage)) : nullptr;
}

CFarklarView* CMainFrame::GetFarklarView() const {
  CMy3DTabViewContainer* container = GetContainer(Pane::Pairs);
  return container ? qobject_cast<CFarklarView*>(container->GetPage(kPlotsPage)) : nullptr;
}

bool CMainFrame::ShowTab(const QString& name) {
  if (name == QStringLiteral("harita")) return GetContainer(Pane::Points)->SetActivePageIndex(kMapPage);
  if (name == QStringLiteral("kontrol")) return GetContainer(Pane::Pairs)->SetActivePageIndex(1);
  if (name == QStringLiteral("farklar")) return GetContainer(Pane::Pairs)->SetActivePageIndex(kPlotsPage);
  return false;
}

void CMainFrame::ConnectPictures() {
  if (CHaritaPane* pane = GetHaritaPane()) {
    connect(pane->Map(), &CHaritaView::PointClicked, this, &CMainFrame::ShowMapPoint);
  }
  if (CFarklarView* plots = GetFarklarView()) connect(plots, &CFarklarView::PairClicked, this, &CMainFrame::ShowPlotPair);
  if (CGPSNoktaView* points = GetPointView()) {
    connect(points->GetGridCtrl(), &CGridCtrl::SelectionChanged, this, [this] { ShowPointSelection(); });
    connect(points, &CGridView::ChecksChanged, this, &CMainFrame::ShowTicksOnMap);
  }
  if (CVelmiraView* pairs = GetPairView()) {
    connect(pairs->GetGridCtrl(), &CGridCtrl::SelectionChanged, this, [this] { ShowPairSelection(); });
  }
  for (Pane pane : {Pane::Points, Pane::Pairs}) {
    connect(GetContainer(pane), &QTabWidget::currentChanged, this, [this] { RefreshPictures(); });
  }
}

void CMainFrame::RefreshPictures() {
  m_bMapStale = m_bPlotsStale = true;
  const CVelmiraDoc& doc = GetDocument();
  CHaritaPane* pane = GetHaritaPane();
  if (pane && Shows(GetContainer(Pane::Points), kMapPage)) {
    pane->Map()->Refresh(doc, GetFindings());
    m_bMapStale = false;
    ShowPointSelection();
    ShowTicksOnMap();
  }
  CFarklarView* plots = GetFarklarView();
  if (plots && Shows(GetContainer(Pane::Pairs), kPlotsPage)) {
    plots->Refresh(doc, GetActiveProfile(), GetFindings());
    m_bPlotsStale = false;
    ShowPairSelection();
  }
}

// The row of the point, with its job file listed first; the map stays in view.
void CMainFrame::ShowMapPoint(int nIndex, int nFileNumber) {
  CGPSNoktaView* view = GetPointView();
  if (!view || view->SelectRowWithKey(kPointIndexColumn, nIndex)) return;
  GetDocument().ShowFilePoints(nFileNumber);
  if (CTSJView* files = GetJobFilesView()) files->SelectRowWithKey(CTSJView::kFileNumberColumn, nFileNumber);
  view->SelectRowWithKey(kPointIndexColumn, nIndex);
}

void CMainFrame::ShowPlotPair(int nPairNo) {
  if (CVelmiraView* view = GetPairView()) view->SelectRowWithKey(kPairNoColumn, nPairNo);
}

void CMainFrame::ShowPointSelection() {
  CGPSNoktaView* view = GetPointView();
  CHaritaPane* pane = GetHaritaPane();
  if (view && pane && !m_bMapStale) pane->Map()->SetSelectedPoints(view->SelectedRowKeys(kPointIndexColumn));
}

void CMainFrame::ShowPairSelection() {
  CVelmiraView* view = GetPairView();
  if (!view) return;
  const std::vector<int> pairNos = view->SelectedRowKeys(kPairNoColumn);
  if (CHaritaPane* pane = GetHaritaPane(); pane && !m_bMapStale) pane->Map()->SetSelectedPairs(pairNos);
  if (CFarklarView* plots = GetFarklarView(); plots && !m_bPlotsStale) plots->SetSelectedPairs(pairNos);
}

void CMainFrame::ShowTicksOnMap() {
  CGPSNoktaView* view = GetPointView();
  CHaritaPane* pane = GetHaritaPane();
  if (!view || !pane || m_bMapStale) return;
  std::vector<int> ticked;
  for (const PointKey& key : view->CheckedPointKeys()) ticked.push_back(key.nIndex);
  pane->Map()->SetTickedPoints(ticked);
}

void CMainFrame::OnResimKaydet() {
  const bool map = Shows(GetContainer(Pane::Points), kMapPage) && GetHaritaPane();
  const bool plots = Shows(GetContainer(Pane::Pairs), kPlotsPage) && GetFarklarView();
  if (!map && !plots) {
    return ShowMessage("Kaydedilecek resim gösterilmiyor; önce \"Harita\" ya da \"Farklar\" sekmesini açın.",
                       MessageIcon::Warning);
  }
  bool saveMap = map;
  if (map && plots) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Velmira"), QStringLiteral("Hangi resim kaydedilsin?"),
                    QMessageBox::NoButton, this);
    QPushButton* mapButton = box.addButton(QStringLiteral("Harita"), QMessageBox::AcceptRole);
    QPushButton* plotButton = box.addButton(QStringLiteral("Farklar"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
    box.setDefaultButton(mapButton);
    box.exec();
    if (box.clickedButton() != mapButton && box.clickedButton() != plotButton) return;
    saveMap = box.clickedButton() == mapButton;
  }
  const std::optional<fs::path> path = m_pDialogs->ChoosePicturePath(this);
  if (!path) return;
  Status saved;
  if (saveMap) {
    CHaritaView* view = GetHaritaPane()->Map();
    saved = path->extension() == ".svg" ? SaveDrawing(view->CurrentDrawing(), *path) : SaveImage(view->RenderImage(), *path);
  } else {
    CFarklarView* view = GetFarklarView();
    saved = SaveDrawing(SideBySide(view->DifferenceDrawing(), view->HeightTimeDrawing()), *path);
  }
  if (!saved) return ShowMessage(saved.cause(), MessageIcon::Warning);
  statusBar()->showMessage(QString::fromStdString("Resim kaydedildi: " + PathToUtf8(*path)), kStatusMs);
}
