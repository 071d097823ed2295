#include "app/CMainFrame.h"

#include <QAction>
#include <algorithm>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include "app/Artwork.h"
#include "app/CAboutDlg.h"
#include "app/CAyarlarDlg.h"
#include "app/CBoylamDlg.h"
#include "app/CMountPointDlg.h"
#include "app/CMy3DTabViewContainer.h"
#include "app/COlcuYontemDlg.h"
#include "app/Commands.h"
#include "jobdata/TableTexts.h"
#include "tables/CGPSNoktaView.h"
#include "mapview/CFarklarView.h"
#include "mapview/CHaritaPane.h"
#include "tables/CKontrolView.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"
#include "text/Cp1254.h"

namespace {

// The frame's size before it is maximised; the panes start at a third of it.
constexpr int kInitialWidth = 1024;
constexpr int kInitialHeight = 720;

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kOuterPanesKey = QStringLiteral("window/outerPanes");
const QString kInnerPanesKey = QStringLiteral("window/innerPanes");

QString FromCp1254(std::string_view text) { return QString::fromStdString(text::Cp1254ToUtf8(text)); }

}  // namespace

CMainFrame::CMainFrame(std::filesystem::path tempFolder, QWidget* pParent)
    : QMainWindow(pParent),
      m_pSession(std::make_unique<JobSession>(*this, std::move(tempFolder), *BuiltInProfile(kNetworkProfileId))),
      m_pDialogs(std::make_unique<CQtFileDialogs>()),
      m_writers(DefaultFormWriters()) {
  SetDocumentTitle(QStringLiteral("Untitled"));
  setWindowIcon(ApplicationIcon());
  resize(kInitialWidth, kInitialHeight);
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  CreateClient();
  RestorePaneSizes();
  connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
  UpdateCopyEnabled();
  m_pSession->SetObserver([this](unsigned changes) {
    if (changes & kSessionFindings) ShowCheck();
  });
  LoadProfiles();
}

CMainFrame::~CMainFrame() {
  SaveLayout();
  // The views refer to the document: they go first.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
  delete takeCentralWidget();
}

// The panes as the user left them; the first start keeps the thirds set above.
void CMainFrame::RestorePaneSizes() {
  QSettings settings;
  m_pOuterSplitter->restoreState(settings.value(kOuterPanesKey).toByteArray());
  m_pInnerSplitter->restoreState(settings.value(kInnerPanesKey).toByteArray());
}

bool CMainFrame::RestoreGeometry() { return restoreGeometry(QSettings().value(kGeometryKey).toByteArray()); }

void CMainFrame::SaveLayout() const {
  QSettings settings;
  settings.setValue(kGeometryKey, saveGeometry());
  settings.setValue(kOuterPanesKey, m_pOuterSplitter->saveState());
  settings.setValue(kInnerPanesKey, m_pInnerSplitter->saveState());
}

// Qt wraps a message at half the screen, in the middle of a path. The box is made as wide
// as its longest line instead, up to the widest box Qt allows.
void CMainFrame::FitToText(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  const QScreen* screen = box.screen();
  if (!label || !screen) return;
  const QFontMetrics metrics(label->font());
  int widest = 0;
  for (const QString& line : box.text().split(QLatin1Char('\n'))) widest = std::max(widest, metrics.horizontalAdvance(line));
  // Qt's own limits: no wrapping up to the soft one, no box wider than the hard one.
  const int screenWidth = screen->availableGeometry().width();
  const int softLimit = std::min(screenWidth / 2, 500);
  constexpr int kIconAndMargins = 120;
  const int width = std::min(widest + 4, std::min(screenWidth - 480, 1000) - kIconAndMargins);
  if (width <= softLimit) return;
  box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(width));
}

void CMainFrame::SetDocumentTitle(const QString& title) {
  setWindowTitle(title + QStringLiteral(" - ") + QString::fromUtf8(kFrameTitle));
}

QAction* CMainFrame::MakeAction(int nCommandId, const QString& text, const QString& statusText,
                                const QString& toolTip) {
  auto* action = new QAction(text, this);
  action->setData(nCommandId);
  action->setStatusTip(statusText);
  action->setToolTip(toolTip);
  m_actions[nCommandId] = action;
  return action;
}

void CMainFrame::CreateActions() {
  QAction* open = MakeAction(ID_TSJ_AC, QStringLiteral("T&ARVEK TSJ Dosyası Aç..."),
                             QStringLiteral("TARVEK TSJ Dosyası Aç"), QStringLiteral("TSJ AÇ"));
  open->setIcon(ToolbarIcon(ToolbarImage::Open));
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(open, &QAction::triggered, this, &CMainFrame::OnTsjAc);

  QAction* exit = MakeAction(ID_APP_EXIT, QStringLiteral("E&xit"),
                             QStringLiteral("Quit the application; prompts to save documents"),
                             QStringLiteral("Exit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QAction* copy = MakeAction(ID_EDIT_COPY, QStringLiteral("&Copy"),
                             QStringLiteral("Copy the selection and put it on the Clipboard"),
                             QStringLiteral("Copy"));
  copy->setIcon(ToolbarIcon(ToolbarImage::Copy));
  copy->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
  connect(copy, &QAction::triggered, this, &CMainFrame::OnEditCopy);

  QAction* match = MakeAction(ID_POLIGON_ESLESTIR, QStringLiteral("Poligon Eşleştir"),
                              QStringLiteral("Poligon Noktalarını Eşleştir"), QStringLiteral("Poligon Eşleştir"));
  match->setIcon(ToolbarIcon(ToolbarImage::Match));
  connect(match, &QAction::triggered, this, &CMainFrame::OnPoligonEslestir);

  QAction* polygon = MakeAction(ID_POLIGON_EXCEL, QStringLiteral("Poligon->Excel"),
                                QStringLiteral("Seçili Eşleştirilmiş Poligon Noktalarını Excele gönder"),
                                QStringLiteral("Poligonları Excele Yaz"));
  polygon->setIcon(ToolbarIcon(ToolbarImage::PolygonExcel));
  connect(polygon, &QAction::triggered, this, &CMainFrame::OnPoligonExcel);

  QAction* detail = MakeAction(ID_DETAY_EXCEL, QStringLiteral("Detay->Excel"),
                               QStringLiteral("Seçili Detay Noktalarını Excele gönder"),
                               QStringLiteral("Detayları Excele Yaz"));
  detail->setIcon(ToolbarIcon(ToolbarImage::DetailExcel));
  connect(detail, &QAction::triggered, this, &CMainFrame::OnDetayExcel);

  QAction* settings = MakeAction(ID_AYARLAR, QStringLiteral("Ayarlar"), QStringLiteral("Ayarlar"),
                                 QStringLiteral("Ayarlar"));
  settings->setIcon(ToolbarIcon(ToolbarImage::Settings));
  connect(settings, &QAction::triggered, this, &CMainFrame::OnAyarlar);

  QAction* criteria = MakeAction(ID_KONTROL_OLCUTLERI, QStringLiteral("Kontrol Ölçütleri..."),
                                 QStringLiteral("Kontrolün yönetmelik profilini seç ve sınırlarını düzenle"),
                                 QStringLiteral("Kontrol Ölçütleri"));
  criteria->setIcon(ToolbarIcon(ToolbarImage::Criteria));
  connect(criteria, &QAction::triggered, this, &CMainFrame::OnKontrolOlcutleri);

  QAction* delivery = MakeAction(ID_TESLIM_KLASORU, QStringLiteral("Teslim Klasörü Oluştur..."),
                                 QStringLiteral("Formları, kesin koordinatları, nokta listelerini ve kontrol raporunu bir klasöre yaz"),
                                 QStringLiteral("Teslim Klasörü Oluştur"));
  delivery->setIcon(ToolbarIcon(ToolbarImage::Delivery));
  connect(delivery, &QAction::triggered, this, &CMainFrame::OnTeslimKlasoru);

  QAction* picture = MakeAction(ID_RESIM_KAYDET, QStringLiteral("Resim Olarak Kaydet..."),
                                QStringLiteral("Gösterilen haritayı ya da fark çizimlerini PNG ya da SVG olarak kaydet"),
                                QStringLiteral("Resim Olarak Kaydet"));
  picture->setIcon(ToolbarIcon(ToolbarImage::Picture));
  connect(picture, &QAction::triggered, this, &CMainFrame::OnResimKaydet);

  QAction* about = MakeAction(ID_APP_ABOUT, QStringLiteral("&About Velmira..."),
                              QStringLiteral("Display program information, version number and copyright"),
                              QStringLiteral("About"));
  about->setIcon(ToolbarIcon(ToolbarImage::About));
  connect(about, &QAction::triggered, this, &CMainFrame::OnAppAbout);
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(m_actions[ID_TSJ_AC]);
  file->addSeparator();
  file->addAction(m_actions[ID_APP_EXIT]);
  menuBar()->addMenu(QStringLiteral("&Edit"))->addAction(m_actions[ID_EDIT_COPY]);
  QMenu* tarvek = menuBar()->addMenu(QStringLiteral("Tarvek Menu"));
  for (int id : {ID_POLIGON_ESLESTIR, ID_POLIGON_EXCEL, ID_DETAY_EXCEL, ID_TESLIM_KLASORU, ID_RESIM_KAYDET, ID_AYARLAR, ID_KONTROL_OLCUTLERI}) tarvek->addAction(m_actions[id]);
}

void CMainFrame::CreateToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
  bar->setObjectName(QStringLiteral("mainToolBar"));
  bar->setIconSize(QSize(16, 16));
  bar->setAllowedAreas(Qt::AllToolBarAreas);
  bar->setMovable(true);
  bar->setFloatable(true);
  bar->addAction(m_actions[ID_TSJ_AC]);
  bar->addAction(m_actions[ID_EDIT_COPY]);
  bar->addSeparator();
  for (int id : {ID_POLIGON_ESLESTIR, ID_POLIGON_EXCEL, ID_DETAY_EXCEL, ID_TESLIM_KLASORU, ID_RESIM_KAYDET, ID_AYARLAR, ID_KONTROL_OLCUTLERI}) bar->addAction(m_actions[id]);
  bar->addSeparator();
  bar->addAction(m_actions[ID_APP_ABOUT]);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* toolbar = bar->toggleViewAction();
  toolbar->setText(QStringLiteral("&Toolbar"));
  toolbar->setData(static_cast<int>(ID_VIEW_TOOLBAR));
  toolbar->setStatusTip(QStringLiteral("Show or hide the toolbar"));
  toolbar->setToolTip(QStringLiteral("Toggle ToolBar"));
  m_actions[ID_VIEW_TOOLBAR] = toolbar;
  view->addAction(toolbar);
  QAction* status = MakeAction(ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"),
                               QStringLiteral("Show or hide the status bar"), QStringLiteral("Toggle StatusBar"));
  status->setCheckable(true);
  status->setChecked(true);
  connect(status, &QAction::toggled, this, [this](bool bVisible) { statusBar()->setVisible(bVisible); });
  view->addAction(status);
  menuBar()->addMenu(QStringLiteral("&Help"))->addAction(m_actions[ID_APP_ABOUT]);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  m_pIdleLabel = new QLabel(QStringLiteral("Ready"), bar);
  bar->addWidget(m_pIdleLabel, 1);
  // Qt cannot read the lock keys' state on every platform; the panes stay as labels.
  for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(QString::fromLatin1(indicator), bar);
    label->setEnabled(false);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(label);
  }
}

void CMainFrame::CreateClient() {
  m_pOuterSplitter = new QSplitter(Qt::Horizontal);
  m_pInnerSplitter = new QSplitter(Qt::Vertical);
  auto* jobFiles = new CMy3DTabViewContainer;
  auto* points = new CMy3DTabViewContainer;
  auto* pairs = new CMy3DTabViewContainer;
  m_pOuterSplitter->addWidget(jobFiles);
  m_pOuterSplitter->addWidget(m_pInnerSplitter);
  m_pInnerSplitter->addWidget(points);
  m_pInnerSplitter->addWidget(pairs);
  // The last column and row take the rest and absorb later resizing.
  m_pOuterSplitter->setStretchFactor(0, 0);
  m_pOuterSplitter->setStretchFactor(1, 1);
  m_pInnerSplitter->setStretchFactor(0, 0);
  m_pInnerSplitter->setStretchFactor(1, 1);
  m_pOuterSplitter->setSizes({kInitialWidth / 3, kInitialWidth - kInitialWidth / 3});
  m_pInnerSplitter->setSizes({kInitialHeight / 3, kInitialHeight - kInitialHeight / 3});

  CVelmiraDoc& doc = GetDocument();
  jobFiles->InsertPage(jobFiles->count(), new CTSJView(doc), QStringLiteral("Tarvek TSJ Dosyaları Penceresi"),
                       TabIcon(TabImage::JobFiles));
  points->InsertPage(points->count(), new CGPSNoktaView(doc), QStringLiteral("1-GPS Nokta Gözlem Penceresi"),
                     TabIcon(TabImage::Points));
  pairs->InsertPage(pairs->count(), new CVelmiraView(doc), QStringLiteral("Nokta Eşleştirme Penceresi"),
                    TabIcon(TabImage::Matching));
  auto* kontrol = new CKontrolView(doc);
  connect(kontrol, &CKontrolView::FindingActivated, this, &CMainFrame::ShowFinding);
  pairs->InsertPage(pairs->count(), kontrol, QStringLiteral("Kontrol"), TabIcon(TabImage::Points));
  points->InsertPage(points->count(), new CHaritaPane, QStringLiteral("Harita"), TabIcon(TabImage::Map));
  pairs->InsertPage(pairs->count(), new CFarklarView, QStringLiteral("Farklar"), TabIcon(TabImage::Differences));
  for (CMy3DTabViewContainer* container : {jobFiles, points, pairs}) container->SetActivePageIndex(0);
  setCentralWidget(m_pOuterSplitter);
  ConnectPictures();
}

CVelmiraDoc& CMainFrame::GetDocument() const { return m_pSession->Document(); }

CMy3DTabViewContainer* CMainFrame::GetContainer(Pane pane) const {
  switch (pane) {
    case Pane::JobFiles:
      return qobject_cast<CMy3DTabViewContainer*>(m_pOuterSplitter->widget(0));
    case Pane::Points:
      return qobject_cast<CMy3DTabViewContainer*>(m_pInnerSplitter->widget(0));
    case Pane::Pairs:
      return qobject_cast<CMy3DTabViewContainer*>(m_pInnerSplitter->widget(1));
  }
  return nullptr;
}

CTSJView* CMainFrame::GetJobFilesView() const {
  CMy3DTabViewContainer* container = GetContainer(Pane::JobFiles);
  return container ? qobject_cast<CTSJView*>(container->GetPage(0)) : nullptr;
}

CGPSNoktaView* CMainFrame::GetPointView() const {
  CMy3DTabViewContainer* container = GetContainer(Pane::Points);
  return container ? qobject_cast<CGPSNoktaView*>(container->GetPage(0)) : nullptr;
}

CVelmiraView* CMainFrame::GetPairView() const {
  CMy3DTabViewContainer* container = GetContainer(Pane::Pairs);
  return container ? qobject_cast<CVelmiraView*>(container->GetPage(0)) : nullptr;
}

CKontrolView* CMainFrame::GetKontrolView() const {
  CMy3DTabViewContainer* container = GetContainer(Pane::Pairs);
  return container ? qobject_cast<CKontrolView*>(container->GetPage(1)) : nullptr;
}

CGridView* CMainFrame::GetActiveView() const {
  switch (m_activePane) {
    case Pane::JobFiles:
      return GetJobFilesView();
    case Pane::Points:
      return GetPointView();
    case Pane::Pairs:
      return GetPairView();
  }
  return nullptr;
}

QAction* CMainFrame::GetAction(int nCommandId) const {
  const auto it = m_actions.find(nCommandId);
  return it == m_actions.end() ? nullptr : it->second;
}

// Focus moving into a pane makes its view the active one; focus leaving for a menu, a
// dialog or the toolbar keeps it.
void CMainFrame::OnFocusChanged(QWidget*, QWidget* pNow) {
  for (Pane pane : {Pane::JobFiles, Pane::Points, Pane::Pairs}) {
    CMy3DTabViewContainer* container = GetContainer(pane);
    if (pNow && container && container->isAncestorOf(pNow)) {
      m_activePane = pane;
      UpdateCopyEnabled();
      return;
    }
  }
}

// The job files view has no copy of its own.
void CMainFrame::UpdateCopyEnabled() {
  m_actions[ID_EDIT_COPY]->setEnabled(m_activePane != Pane::JobFiles);
}

void CMainFrame::OnTsjAc() {
  if (GetDocument().AddTsjFile()) NoteZonesOfLastFile();
}

// A point far from its zone's meridian means a wrong answer in the zone dialogue, or a
// job file of another zone: told at once, not only in the check.
void CMainFrame::NoteZonesOfLastFile() {
  const CVelmiraDoc& doc = GetDocument();
  if (doc.TsjList().empty()) return;
  if (const auto note = ZoneNote(doc.NoktaList(), doc.TsjList().back().nFileNumber)) {
    ShowMessage(*note, MessageIcon::Information);
  }
}

// Matching again on demand; the pairs are matched after every change anyway.
void CMainFrame::OnPoligonEslestir() { static_cast<void>(m_pSession->Match()); }

// Editing the criteria edits the active profile's limits, so the red cells and the check
// never disagree; a new tolerance matches again.
void CMainFrame::OnAyarlar() {
  GetDocument().EditSettings();
  static_cast<void>(m_pSession->SetCriteria(GetDocument().Criteria()));
  SaveProfiles();
}

void CMainFrame::SetActiveProfile(const RuleProfile& profile) { static_cast<void>(m_pSession->SetProfile(profile)); }

// A refused matching has told the user already; the previous pairs are still judged.
void CMainFrame::RefreshCheck() { static_cast<void>(m_pSession->Check()); }

void CMainFrame::ShowCheck() {
  const CVelmiraDoc& doc = GetDocument();
  const std::vector<Finding>& findings = GetFindings();
  const bool changed = IsChangedBuiltIn(GetActiveProfile());
  if (CKontrolView* view = GetKontrolView()) view->Fill(findings, changed);
  if (CGPSNoktaView* view = GetPointView()) view->ApplyFindings(findings);
  if (CVelmiraView* view = GetPairView()) {
    view->Recolour();
    view->ApplyFindings(findings);
  }
  RefreshPictures();
  // With nothing loaded there is nothing to judge; the bar says what it always said.
  if (m_pIdleLabel) {
    m_pIdleLabel->setText(doc.NoktaList().empty() ? QStringLiteral("Ready") : VerdictText(Summarize(findings), changed));
  }
}

void CMainFrame::ShowFinding(const Finding& finding) {
  CVelmiraDoc& doc = GetDocument();
  if (finding.target == Finding::Target::Pair) {
    const auto& pairs = doc.EslesenList();
    const auto pair = std::find_if(pairs.begin(), pairs.end(), [&](const CEslesenNokta& e) { return e.nPairNo == finding.nIndex; });
    const auto& points = doc.NoktaList();
    const auto first = pair == pairs.end() ? points.end()
                                           : std::find_if(points.begin(), points.end(), [&](const CTarvekNokta& p) { return p.nIndex == pair->nIndex1; });
    if (first != points.end()) doc.ShowFilePoints(first->nFileNumber);
    if (CMy3DTabViewContainer* container = GetContainer(Pane::Pairs)) container->SetActivePageIndex(0);
    if (CVelmiraView* view = GetPairView()) view->SelectRowWithKey(kPairNoColumn, finding.nIndex);
    return;
  }
  doc.ShowFilePoints(finding.nFileNumber);
  if (CTSJView* files = GetJobFilesView()) files->SelectRowWithKey(CTSJView::kFileNumberColumn, finding.nFileNumber);
  if (CGPSNoktaView* view = GetPointView()) view->SelectRowWithKey(kPointIndexColumn, finding.nIndex);
}

void CMainFrame::OnEditCopy() {
  if (m_activePane == Pane::JobFiles) return;
  if (CGridView* view = GetActiveView()) view->Copy();
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dialog(this);
  dialog.exec();
}

void CMainFrame::LoadJobAtStart(const std::filesystem::path& path) {
  if (!GetDocument().AddJobFile(path)) return;
  NoteZonesOfLastFile();
  ListLastJobFile();
}

void CMainFrame::LoadJobsFromCommandLine(const QStringList& arguments) {
  bool titled = false;
  for (const QString& argument : arguments) {
    if (argument.startsWith(QLatin1Char('-'))) continue;
    if (!GetDocument().AddJobFile(PathFromQString(argument))) continue;
    NoteZonesOfLastFile();
    // A file that was refused must not name the window.
    if (!titled) SetDocumentTitle(QFileInfo(argument).fileName());
    titled = true;
  }
  if (titled) ListLastJobFile();
}

void CMainFrame::ListLastJobFile() {
  if (GetDocument().TsjList().empty()) return;
  if (CTSJView* view = GetJobFilesView()) {
    const int row = view->GetGridCtrl()->GetRowCount() - 1;
    view->GetGridCtrl()->SetSelectedRange(CCellRange(row, 0, row, view->GetGridCtrl()->GetColumnCount() - 1));
  }
  GetDocument().ShowFilePoints(GetDocument().TsjList().back().nFileNumber);
}

std::optional<std::filesystem::path> CMainFrame::ChooseJobFile() { return m_pDialogs->ChooseJobFile(this); }

void CMainFrame::ShowMessage(std::string_view utf8Text, MessageIcon icon) {
  QMessageBox::Icon boxIcon = QMessageBox::Information;
  switch (icon) {
    case MessageIcon::Information:
      boxIcon = QMessageBox::Information;
      break;
    case MessageIcon::Warning:
      boxIcon = QMessageBox::Warning;
      break;
    case MessageIcon::Error:
      boxIcon = QMessageBox::Critical;
      break;
  }
  QMessageBox box(boxIcon, QStringLiteral("Velmira"), QString::fromUtf8(utf8Text.data(), static_cast<int>(utf8Text.size())),
                  QMessageBox::Ok, this);
  FitToText(box);
  box.exec();
}

std::optional<std::string> CMainFrame::AskMeridian() {
  CBoylamDlg dialog(this);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.GetValue();
}

std::optional<std::string> CMainFrame::AskMountpoint(std::string_view captionCp1254, std::string_view optionCp1254) {
  CMountPointDlg dialog(FromCp1254(captionCp1254), FromCp1254(optionCp1254), this);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.GetValue();
}

std::optional<std::string> CMainFrame::AskMethod(std::string_view captionCp1254) {
  COlcuYontemDlg dialog(FromCp1254(captionCp1254), this);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.GetValue();
}

bool CMainFrame::AskSettings(CMatchCriteria& criteria) {
  CAyarlarDlg dialog(criteria, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  criteria = dialog.GetCriteria();
  return true;
}

void CMainFrame::JobFilesChanged() {
  if (CTSJView* view = GetJobFilesView()) view->Rebuild();
  RefreshCheck();
}

void CMainFrame::ShowFilePoints(int nFileNumber) {
  if (CGPSNoktaView* view = GetPointView()) {
    view->Fill(nFileNumber);
    view->ApplyFindings(GetFindings());
  }
  // A new listing has no ticks and no selection.
  ShowTicksOnMap();
  ShowPointSelection();
}

// A removed job file: the tables empty, and the rest is matched again at once.
void CMainFrame::ClearPointTables() {
  if (CGPSNoktaView* view = GetPointView()) view->Clear();
  if (CVelmiraView* view = GetPairView()) {
    m_keptPairTicks = view->CheckedObservationPairs();
    view->Clear();
  }
  RefreshCheck();
}

// The ticks stay on every pair whose two observations are paired again.
void CMainFrame::PairsChanged() {
  CVelmiraView* view = GetPairView();
  if (!view) return;
  std::vector<std::pair<int, int>> ticked = view->CheckedObservationPairs();
  ticked.insert(ticked.end(), m_keptPairTicks.begin(), m_keptPairTicks.end());
  m_keptPairTicks.clear();
  view->Fill();
  view->CheckObservationPairs(ticked);
}
