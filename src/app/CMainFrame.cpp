#include "app/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
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
#include "app/MessageBoxes.h"
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
      m_pSession(std::make_unique<JobSession>(*this, std::move(tempFolder), *BuiltInProfile(kNetworkProfileId))) {
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
    if (changes & kSessionFindings) m_pLinks->ShowCheck();
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

namespace {

struct CommandText {
  int nCommandId;
  const char* text;
  const char* statusText;
  const char* toolTip;
  std::optional<ToolbarImage> image;
  void (CMainFrame::*run)();
};

const CommandText kCommands[] = {
    {ID_TSJ_AC, "T&ARVEK TSJ Dosyası Aç...", "TARVEK TSJ Dosyası Aç", "TSJ AÇ", ToolbarImage::Open, &CMainFrame::OnTsjAc},
    {ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents", "Exit", std::nullopt, nullptr},
    {ID_EDIT_COPY, "&Copy", "Copy the selection and put it on the Clipboard", "Copy", ToolbarImage::Copy,
     &CMainFrame::OnEditCopy},
    {ID_POLIGON_ESLESTIR, "Poligon Eşleştir", "Poligon Noktalarını Eşleştir", "Poligon Eşleştir", ToolbarImage::Match,
     &CMainFrame::OnPoligonEslestir},
    {ID_POLIGON_EXCEL, "Poligon->Excel", "Seçili Eşleştirilmiş Poligon Noktalarını Excele gönder",
     "Poligonları Excele Yaz", ToolbarImage::PolygonExcel, &CMainFrame::OnPoligonExcel},
    {ID_DETAY_EXCEL, "Detay->Excel", "Seçili Detay Noktalarını Excele gönder", "Detayları Excele Yaz",
     ToolbarImage::DetailExcel, &CMainFrame::OnDetayExcel},
    {ID_AYARLAR, "Ayarlar", "Ayarlar", "Ayarlar", ToolbarImage::Settings, &CMainFrame::OnAyarlar},
    {ID_KONTROL_OLCUTLERI, "Kontrol Ölçütleri...", "Kontrolün yönetmelik profilini seç ve sınırlarını düzenle",
     "Kontrol Ölçütleri", ToolbarImage::Criteria, &CMainFrame::OnKontrolOlcutleri},
    {ID_TESLIM_KLASORU, "Teslim Klasörü Oluştur...",
     "Formları, kesin koordinatları, nokta listelerini ve kontrol raporunu bir klasöre yaz", "Teslim Klasörü Oluştur",
     ToolbarImage::Delivery, &CMainFrame::OnTeslimKlasoru},
    {ID_RESIM_KAYDET, "Resim Olarak Kaydet...", "Gösterilen haritayı ya da fark çizimlerini PNG ya da SVG olarak kaydet",
     "Resim Olarak Kaydet", ToolbarImage::Picture, &CMainFrame::OnResimKaydet},
    {ID_APP_ABOUT, "&About Velmira...", "Display program information, version number and copyright", "About",
     ToolbarImage::About, &CMainFrame::OnAppAbout},
};

}  // namespace

void CMainFrame::CreateActions() {
  for (const CommandText& command : kCommands) {
    QAction* action = MakeAction(command.nCommandId, QString::fromUtf8(command.text),
                                 QString::fromUtf8(command.statusText), QString::fromUtf8(command.toolTip));
    if (command.image) action->setIcon(ToolbarIcon(*command.image));
    if (command.run) connect(action, &QAction::triggered, this, command.run);
  }
  connect(m_actions[ID_APP_EXIT], &QAction::triggered, this, &QWidget::close);
  m_actions[ID_TSJ_AC]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  m_actions[ID_EDIT_COPY]->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
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
  const CViewLinks::Tabs tabs{new CKontrolView(doc), new CHaritaPane, new CFarklarView};
  pairs->InsertPage(pairs->count(), tabs.kontrol, QStringLiteral("Kontrol"), TabIcon(TabImage::Points));
  points->InsertPage(points->count(), tabs.harita, QStringLiteral("Harita"), TabIcon(TabImage::Map));
  pairs->InsertPage(pairs->count(), tabs.farklar, QStringLiteral("Farklar"), TabIcon(TabImage::Differences));
  for (CMy3DTabViewContainer* container : {jobFiles, points, pairs}) container->SetActivePageIndex(0);
  setCentralWidget(m_pOuterSplitter);
  m_pLinks = std::make_unique<CViewLinks>(*m_pSession, CViewLinks::Panes{jobFiles, points, pairs}, tabs,
                                          [this](const QString& verdict) { m_pIdleLabel->setText(verdict); });
  m_pOutputs = std::make_unique<COutputCommands>(*this, *m_pSession, *m_pLinks);
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

namespace {

// "Vazgeç" for an add that takes longer than a second; a quick one shows nothing.
class DelayedReadProgress {
 public:
  explicit DelayedReadProgress(QWidget* pParent) : m_pParent(pParent) { m_clock.start(); }

  bool operator()(double fraction) {
    if (fraction >= 1.0) {  // read; what follows is the tables' own work
      m_pDialog.reset();
      return true;
    }
    if (!m_pDialog) {
      if (m_clock.elapsed() < kDelayMs) return true;
      m_pDialog = std::make_unique<QProgressDialog>(QStringLiteral("TSJ dosyası okunuyor..."), QStringLiteral("Vazgeç"),
                                                    0, kSteps, m_pParent);
      m_pDialog->setWindowTitle(QStringLiteral("Velmira"));
      m_pDialog->setWindowModality(Qt::WindowModal);
      m_pDialog->setMinimumDuration(0);
    }
    m_pDialog->setValue(static_cast<int>(fraction * kSteps));
    return !m_pDialog->wasCanceled();
  }

 private:
  static constexpr int kDelayMs = 1000;
  static constexpr int kSteps = 1000;
  QWidget* m_pParent;
  QElapsedTimer m_clock;
  std::unique_ptr<QProgressDialog> m_pDialog;
};

}  // namespace

bool CMainFrame::AddJobFile(const std::filesystem::path& path) {
  auto progress = std::make_shared<DelayedReadProgress>(this);
  return GetDocument().AddJobFile(path, [progress](double fraction) { return (*progress)(fraction); });
}

void CMainFrame::OnTsjAc() {
  const std::optional<std::filesystem::path> chosen = ChooseJobFile();
  if (chosen && AddJobFile(*chosen)) NoteZonesOfLastFile();
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

void CMainFrame::OnEditCopy() {
  if (m_activePane == Pane::JobFiles) return;
  if (CGridView* view = GetActiveView()) view->Copy();
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dialog(this);
  dialog.exec();
}

void CMainFrame::LoadJobAtStart(const std::filesystem::path& path) {
  if (!AddJobFile(path)) return;
  NoteZonesOfLastFile();
  ListLastJobFile();
}

void CMainFrame::LoadJobsFromCommandLine(const QStringList& arguments) {
  bool titled = false;
  for (const QString& argument : arguments) {
    if (argument.startsWith(QLatin1Char('-'))) continue;
    if (!AddJobFile(PathFromQString(argument))) continue;
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

std::optional<std::filesystem::path> CMainFrame::ChooseJobFile() { return m_pOutputs->FileDialogs().ChooseJobFile(this); }

void CMainFrame::ShowMessage(std::string_view utf8Text, MessageIcon icon) { ShowMessageBox(this, utf8Text, icon); }

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

void CMainFrame::ShowFilePoints(int nFileNumber) { m_pLinks->ShowFilePoints(nFileNumber); }

// A removed job file: the tables empty, and the rest is matched again at once.
void CMainFrame::ClearPointTables() {
  m_pLinks->ClearPointTables();
  RefreshCheck();
}

void CMainFrame::PairsChanged() { m_pLinks->PairsChanged(); }
