// The whole main window driven as a user would: commands through their actions and
// shortcuts, clicks into the tables, the dialogs answered as they open; only the file
// dialogues are replaced.
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QSettings>
#include <QtTest>

#include "ReadXls.h"
#include "FrameTest.h"
#include "app/CAyarlarDlg.h"
#include "app/CVelmiraApp.h"
#include "app/CBoylamDlg.h"
#include "app/CMainFrame.h"
#include "app/CMountPointDlg.h"
#include "app/CMy3DTabViewContainer.h"
#include "app/COlcuYontemDlg.h"
#include "app/Commands.h"
#include "jobdata/TableTexts.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"
#include "text/Numbers.h"
#include "text/TurkishCollation.h"

namespace fs = std::filesystem;

namespace {

void ClickCell(CGridCtrl* grid, int nRow, int nCol) {
  grid->EnsureVisible(CCellID(nRow, nCol));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(nRow, nCol).center());
}

void ClickCheckBox(CGridCtrl* grid, int nRow) {
  grid->EnsureVisible(CCellID(nRow, 0));
  const QRect cell = grid->GetCellRect(nRow, 0);
  auto* check = dynamic_cast<CGridCellCheck*>(grid->GetCell(nRow, 0));
  QVERIFY(check);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, check->GetCheckPlacement(cell).center());
}

}  // namespace

class MainFrameTest : public FrameTest {
  Q_OBJECT

 private slots:
  void init() {
    StartFrame();
    frame->resize(1400, 900);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
  }

  void cleanup() { EndFrame(); }


  void panesAndTitles() {
    QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Velmira V 1.4 - Pelinor"));
    const struct {
      CMainFrame::Pane pane;
      const char* title;
    } panes[] = {{CMainFrame::Pane::JobFiles, "Tarvek TSJ Dosyaları Penceresi"},
                 {CMainFrame::Pane::Points, "1-GPS Nokta Gözlem Penceresi"},
                 {CMainFrame::Pane::Pairs, "Nokta Eşleştirme Penceresi"}};
    for (const auto& p : panes) {
      CMy3DTabViewContainer* container = frame->GetContainer(p.pane);
      QVERIFY(container);
      QCOMPARE(container->count(), p.pane == CMainFrame::Pane::Pairs ? 3 : p.pane == CMainFrame::Pane::Points ? 2 : 1);
      QCOMPARE(container->tabText(0), QString::fromUtf8(p.title));
      QVERIFY(!container->tabIcon(0).isNull());
    }
    QCOMPARE(frame->GetContainer(CMainFrame::Pane::Pairs)->tabText(1), QStringLiteral("Kontrol"));
    QCOMPARE(frame->GetContainer(CMainFrame::Pane::Pairs)->tabText(2), QStringLiteral("Farklar"));
    QCOMPARE(frame->GetContainer(CMainFrame::Pane::Points)->tabText(1), QStringLiteral("Harita"));
    QVERIFY(frame->GetHaritaPane());
    QVERIFY(frame->GetFarklarView());
    QVERIFY(frame->GetKontrolView());
    QVERIFY(frame->GetJobFilesView());
    QVERIFY(frame->GetPointView());
    QVERIFY(frame->GetPairView());
    // The job files pane is left of the other two, which stand one above the other.
    const auto left = frame->GetContainer(CMainFrame::Pane::JobFiles)->mapTo(frame.get(), QPoint());
    const auto upper = frame->GetContainer(CMainFrame::Pane::Points)->mapTo(frame.get(), QPoint());
    const auto lower = frame->GetContainer(CMainFrame::Pane::Pairs)->mapTo(frame.get(), QPoint());
    QVERIFY(left.x() < upper.x());
    QCOMPARE(upper.x(), lower.x());
    QVERIFY(upper.y() < lower.y());
    QCOMPARE(frame->GetJobFilesView()->GetGridCtrl()->GetRowCount(), 1);
    QCOMPARE(frame->GetPointView()->GetGridCtrl()->GetColumnCount(), 20);
    QCOMPARE(frame->GetPairView()->GetGridCtrl()->GetColumnCount(), 12);
    QCOMPARE(frame->statusBar()->findChildren<QLabel*>().first()->text(), QStringLiteral("Ready"));
  }

  void commands_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("keys");
    QTest::newRow("open") << 32771 << "T&ARVEK TSJ Dosyası Aç..." << "TARVEK TSJ Dosyası Aç" << "TSJ AÇ"
                          << "Ctrl+O";
    QTest::newRow("match") << 32772 << "Poligon Eşleştir" << "Poligon Noktalarını Eşleştir" << "Poligon Eşleştir"
                           << "";
    QTest::newRow("polygon") << 32773 << "Poligon->Excel"
                             << "Seçili Eşleştirilmiş Poligon Noktalarını Excele gönder"
                             << "Poligonları Excele Yaz" << "";
    QTest::newRow("detail") << 32774 << "Detay->Excel" << "Seçili Detay Noktalarını Excele gönder"
                            << "Detayları Excele Yaz" << "";
    QTest::newRow("delivery") << 32786 << "Teslim Klasörü Oluştur..."
                              << "Formları, kesin koordinatları, nokta listelerini ve kontrol raporunu bir klasöre yaz"
                              << "Teslim Klasörü Oluştur" << "";
    QTest::newRow("picture") << 32787 << "Resim Olarak Kaydet..."
                             << "Gösterilen haritayı ya da fark çizimlerini PNG ya da SVG olarak kaydet"
                             << "Resim Olarak Kaydet" << "";
    QTest::newRow("settings") << 32775 << "Ayarlar" << "Ayarlar" << "Ayarlar" << "";
    QTest::newRow("check criteria") << 32785 << "Kontrol Ölçütleri..."
                                    << "Kontrolün yönetmelik profilini seç ve sınırlarını düzenle"
                                    << "Kontrol Ölçütleri" << "";
    QTest::newRow("copy") << 57634 << "&Copy" << "Copy the selection and put it on the Clipboard" << "Copy"
                          << "Ctrl+C|Ctrl+Ins";
    QTest::newRow("about") << 57664 << "&About Velmira..."
                           << "Display program information, version number and copyright" << "About" << "";
    QTest::newRow("exit") << 57665 << "E&xit" << "Quit the application; prompts to save documents" << "Exit" << "";
    QTest::newRow("toolbar") << 59392 << "&Toolbar" << "Show or hide the toolbar" << "Toggle ToolBar" << "";
    QTest::newRow("status bar") << 59393 << "&Status Bar" << "Show or hide the status bar" << "Toggle StatusBar"
                                << "";
  }
  void commands() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, status);
    QFETCH(QString, tip);
    QFETCH(QString, keys);
    QAction* action = frame->GetAction(id);
    QVERIFY(action);
    QCOMPARE(action->data().toInt(), id);
    QCOMPARE(action->text(), text);
    QCOMPARE(action->statusTip(), status);
    QCOMPARE(action->toolTip(), tip);
    QStringList shortcuts;
    for (const QKeySequence& k : action->shortcuts()) shortcuts << k.toString();
    QCOMPARE(shortcuts.join('|'), keys);
  }

  void menusAndToolbar() {
    QStringList menus;
    for (QAction* a : frame->menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "Tarvek Menu", "&View", "&Help"}));
    QList<int> buttons;
    for (QAction* a : frame->findChild<QToolBar*>()->actions()) buttons << (a->isSeparator() ? 0 : a->data().toInt());
    QCOMPARE(buttons, (QList<int>{32771, 57634, 0, 32772, 32773, 32774, 32786, 32787, 32775, 32785, 0, 57664}));
    frame->GetAction(ID_VIEW_STATUS_BAR)->trigger();
    QVERIFY(!frame->statusBar()->isVisible());
    frame->GetAction(ID_VIEW_TOOLBAR)->trigger();
    QVERIFY(!frame->findChild<QToolBar*>()->isVisible());
    QVERIFY(!frame->GetAction(ID_VIEW_TOOLBAR)->isChecked());
  }

  // Two job files, one asking for the method and one for the meridian, then the whole
  // round: list, sort, tick, export, match, change the criteria, copy, remove.
  void fullSession() {
    const fs::path jobA = root / "a.tsj";
    const fs::path jobB = root / "b.tsj";
    QVERIFY(MakeJob(jobA, {"--seed", "11", "--points", "60", "--method", "ask", "--float-fraction", "0"}));
    QVERIFY(MakeJob(jobB, {"--seed", "12", "--points", "40", "--method", "rtk", "--meridian", "none",
                           "--float-fraction", "0"}));
    CVelmiraDoc& doc = frame->GetDocument();

    dialogs->jobFiles.push_back(jobA);
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<COlcuYontemDlg*>(w);
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QStringLiteral("a.tsj"));
      dialog->GetCorsButton()->click();
      dialog->GetComboBox()->setCurrentIndex(2);
      dialog->accept();
    });
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(dialogs->jobFileAsks, 1);
    QCOMPARE(doc.TsjList().size(), size_t{1});
    QCOMPARE(doc.TsjList()[0].strMethod, std::string("SAPOS"));

    dialogs->jobFiles.push_back(jobB);
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CBoylamDlg*>(w);
      QVERIFY(dialog);
      dialog->GetComboBox()->setCurrentIndex(2);
      dialog->accept();
    });
    answerer->ExpectMessage();
    answerer->ExpectMessage();  // the generator's job lies in zone 30: a wrong answer is told at once
    frame->GetAction(ID_TSJ_AC)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(answerer->Messages().size(), size_t{2});
    QCOMPARE(answerer->Messages()[0].text, QStringLiteral("TSJ Dosyasındaki noktalar\nRTK yöntemi ile ölçülmüş"));
    QVERIFY(answerer->Messages()[1].text.contains(QStringLiteral("dilimin dışında (orta meridyen 33)")));
    QCOMPARE(answerer->Messages()[1].icon, QMessageBox::Information);
    QCOMPARE(answerer->Messages()[0].icon, QMessageBox::Information);
    QCOMPARE(answerer->Messages()[0].caption, QStringLiteral("Velmira"));
    QCOMPARE(doc.TsjList().size(), size_t{2});
    QCOMPARE(doc.TsjList()[1].strMeridian, std::string("33"));

    // The job files table lists both; clicking the second lists only its points.
    CGridCtrl* files = frame->GetJobFilesView()->GetGridCtrl();
    CGridCtrl* points = frame->GetPointView()->GetGridCtrl();
    CGridCtrl* pairs = frame->GetPairView()->GetGridCtrl();
    QCOMPARE(files->GetRowCount(), 3);
    QCOMPARE(points->GetRowCount(), 1);  // not before a click
    ClickCell(files, 2, 0);
    const auto countOf = [&](int n) {
      return static_cast<int>(std::count_if(doc.NoktaList().begin(), doc.NoktaList().end(),
                                            [n](const CTarvekNokta& p) { return p.nFileNumber == n; }));
    };
    QVERIFY(countOf(2) > 0);
    QCOMPARE(points->GetRowCount(), countOf(2) + 1);
    for (int r = 1; r < points->GetRowCount(); ++r) QCOMPARE(points->GetItemText(r, 19), QStringLiteral("2"));
    ClickCell(files, 1, 1);
    QCOMPARE(points->GetRowCount(), countOf(1) + 1);

    // Sort by "Nokta No" (descending after two clicks), tick the first two rows, export.
    ClickCell(points, 0, 0);
    ClickCell(points, 0, 0);
    QCOMPARE(points->GetSortColumn(), 0);
    QVERIFY(!points->GetSortAscending());
    ClickCheckBox(points, 1);
    ClickCheckBox(points, 2);
    QVERIFY(points->GetCheck(1, 0));
    QVERIFY(points->GetCheck(2, 0));
    const QString firstName = points->GetItemText(1, 0);
    for (int r = 2; r < points->GetRowCount(); ++r) {
      QVERIFY(text::CompareTurkish(points->GetItemText8(r - 1, 0), points->GetItemText8(r, 0)) >= 0);
    }

    frame->SetFormWriters(DefaultFormWriters());
    const fs::path detailXls = root / "detay.xls";
    dialogs->workbooks.push_back(detailXls);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    ClickCell(pairs, 0, 1);  // the export does not follow the active pane
    QCOMPARE(frame->GetActivePane(), CMainFrame::Pane::Pairs);
    answerer->ExpectMessage();
    frame->GetAction(ID_DETAY_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(dialogs->workbookAsks, 1);
    QCOMPARE(dialogs->workbookKinds.back(), WorkbookKind::Detail);
    // A written form is confirmed with its name and row count, in a box and the status bar.
    QCOMPARE(answerer->Messages().back().text,
             QString::fromStdString("Detay formu yazıldı: " + detailXls.string() + "\n2 nokta."));
    QCOMPARE(answerer->Messages().back().icon, QMessageBox::Information);
    QVERIFY(frame->statusBar()->currentMessage().startsWith(QStringLiteral("Detay formu yazıldı: ")));
    if (kXlrdRuns) {
      QCOMPARE(PythonRead(detailXls, "sheet.nrows"), QStringLiteral("4"));
      QCOMPARE(PythonRead(detailXls, "sheet.cell_value(2, 0)"), firstName);
    }

    // Matching fills the pair table; tick every pair through the popup and export.
    frame->GetAction(ID_POLIGON_ESLESTIR)->trigger();
    QVERIFY(!doc.EslesenList().empty());
    QCOMPARE(pairs->GetRowCount(), static_cast<int>(doc.EslesenList().size()) + 1);
    frame->GetPairView()->GetPopupMenu()->actions()[0]->trigger();
    const fs::path polygonXls = root / "poligon.xls";
    dialogs->workbooks.push_back(polygonXls);
    answerer->ExpectMessage();
    frame->GetAction(ID_POLIGON_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(dialogs->workbookKinds.back(), WorkbookKind::Polygon);
    const QString pairCount = QString::number(doc.EslesenList().size());
    QCOMPARE(answerer->Messages().back().text,
             QString::fromStdString("Poligon formu yazıldı: " + polygonXls.string()) + "\n" + pairCount + " çift (" +
                 QString::number(2 * doc.EslesenList().size()) + " satır).");
    QVERIFY(fs::exists(polygonXls));
    if (kXlrdRuns) QCOMPARE(PythonRead(polygonXls, "sheet.nrows"), QString::number(2 + 2 * doc.EslesenList().size()));

    // A failed save is told once, by the window, with its cause.
    const fs::path lost = root / "no-such-folder" / "poligon.xls";
    dialogs->workbooks.push_back(lost);
    const size_t told = answerer->Messages().size();
    answerer->ExpectMessage();
    frame->GetAction(ID_POLIGON_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(answerer->Messages().size(), told + 1);
    QCOMPARE(answerer->Messages().back().text,
             QString::fromStdString("Excel dosyası kaydedilemedi: " + lost.string() + "\nKlasör ya da dosya bulunamadı."));
    QCOMPARE(answerer->Messages().back().icon, QMessageBox::Warning);

    // A new matching run puts the pairs back in list order: the arrow goes.
    ClickCell(pairs, 0, 2);
    QCOMPARE(pairs->GetSortColumn(), 2);
    frame->GetAction(ID_POLIGON_ESLESTIR)->trigger();
    QCOMPARE(pairs->GetSortColumn(), -1);

    // A tolerance of a micrometre pairs nothing.
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      QCOMPARE(dialog->GetEdit(CAyarlarDlg::kMatchTol)->text(), QStringLiteral("1"));
      QCOMPARE(dialog->GetEdit(CAyarlarDlg::kMaxDiffY)->text(), QStringLiteral("0.07"));
      dialog->GetEdit(CAyarlarDlg::kMatchTol)->setText(QStringLiteral("0.000001"));
      dialog->accept();
    });
    frame->GetAction(ID_AYARLAR)->trigger();
    QCOMPARE(doc.m_dMatchTol, 0.000001);
    frame->GetAction(ID_POLIGON_ESLESTIR)->trigger();
    QCOMPARE(pairs->GetRowCount(), static_cast<int>(doc.EslesenList().size()) + 1);
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      dialog->GetEdit(CAyarlarDlg::kMatchTol)->setText(QStringLiteral("1"));
      dialog->accept();
    });
    frame->GetAction(ID_AYARLAR)->trigger();
    frame->GetAction(ID_POLIGON_ESLESTIR)->trigger();
    QVERIFY(pairs->GetRowCount() > 1);

    // Copy follows the pane last clicked; the job files pane has none.
    QApplication::clipboard()->clear();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QAction* copy = frame->GetAction(ID_EDIT_COPY);
    ClickCell(points, 0, 8);
    ClickCell(files, 1, 1);
    QCOMPARE(points->GetSortColumn(), -1);  // listed again in the file's order
    QCOMPARE(frame->GetActivePane(), CMainFrame::Pane::JobFiles);
    QVERIFY(!copy->isEnabled());
    // The keys go where the user's keys go: to the table that has the focus, whose own
    // key handler once copied although the command was greyed.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(files));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString());
    ClickCell(points, 3, 2);
    QCOMPARE(frame->GetActivePane(), CMainFrame::Pane::Points);
    QVERIFY(copy->isEnabled());
    QTest::keyClick(frame.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), points->GetItemText(3, 2));
    ClickCell(pairs, 1, 4);
    QCOMPARE(frame->GetActivePane(), CMainFrame::Pane::Pairs);
    copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), pairs->GetItemText(1, 4));

    // Removing the second file empties the point table and matches the first one's
    // points again at once; then the first.
    ClickCheckBox(files, 2);
    frame->GetJobFilesView()->GetPopupMenu()->actions()[0]->trigger();
    QCOMPARE(doc.TsjList().size(), size_t{1});
    QCOMPARE(files->GetRowCount(), 2);
    QCOMPARE(points->GetRowCount(), 1);
    QCOMPARE(countOf(2), 0);
    QVERIFY(frame->GetSession().IsMatchCurrent());
    QCOMPARE(pairs->GetRowCount(), static_cast<int>(doc.EslesenList().size()) + 1);
    for (const CEslesenNokta& pair : doc.EslesenList()) {
      for (int index : {pair.nIndex1, pair.nIndex2}) {
        QVERIFY(std::any_of(doc.NoktaList().begin(), doc.NoktaList().end(),
                            [&](const CTarvekNokta& p) { return p.nIndex == index && p.nFileNumber == 1; }));
      }
    }
    ClickCell(files, 1, 1);
    QCOMPARE(points->GetRowCount(), countOf(1) + 1);
    ClickCheckBox(files, 1);
    frame->GetJobFilesView()->GetPopupMenu()->actions()[0]->trigger();
    QVERIFY(doc.TsjList().empty());
    QVERIFY(doc.NoktaList().empty());
    QCOMPARE(files->GetRowCount(), 1);
    QCOMPARE(points->GetRowCount(), 1);
  }

  void refusedJobFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::newRow("not sqlite") << "text" << "TARVEK TSJ Değil" << int(QMessageBox::Warning);
    QTest::newRow("method cancelled")
        << "ask" << "Dosya içeriğindeki Ölçü Yöntemi belirlenemediğinden dosya açılamamıştır."
        << int(QMessageBox::Critical);
    QTest::newRow("mountpoint cancelled")
        << "mountpoint" << "Dosya içeriğindeki Ölçü Yöntemi belirlenemediğinden dosya açılamamıştır."
        << int(QMessageBox::Critical);
    QTest::newRow("meridian cancelled") << "meridian" << "" << 0;
  }
  void refusedJobFiles() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QFETCH(int, icon);
    const fs::path job = root / "x.tsj";
    if (kind == "text") {
      QFile file(QString::fromStdString(job.string()));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("not a job file at all\n");
    } else if (kind == "ask") {
      QVERIFY(MakeJob(job, {"--method", "ask", "--points", "5"}));
    } else if (kind == "mountpoint") {
      QVERIFY(MakeJob(job, {"--mountpoint", "vrscmrp", "--points", "5"}));
    } else {
      QVERIFY(MakeJob(job, {"--meridian", "none", "--points", "5"}));
    }
    if (kind != "text") {
      answerer->Expect([kind](QWidget* w) {
        if (kind == "mountpoint") QVERIFY(qobject_cast<CMountPointDlg*>(w));
        if (kind == "ask") QVERIFY(qobject_cast<COlcuYontemDlg*>(w));
        if (kind == "meridian") QVERIFY(qobject_cast<CBoylamDlg*>(w));
        QCOMPARE(w->windowTitle(), kind == "meridian" ? QStringLiteral("DİLİM ORTA MERİDYENİ") : QStringLiteral("x.tsj"));
        qobject_cast<QDialog*>(w)->reject();
      });
    }
    if (!message.isEmpty()) answerer->ExpectMessage();
    dialogs->jobFiles.push_back(job);
    frame->GetAction(ID_TSJ_AC)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(frame->GetDocument().TsjList().size(), size_t{0});
    QCOMPARE(frame->GetJobFilesView()->GetGridCtrl()->GetRowCount(), 1);
    if (!message.isEmpty()) {
      QCOMPARE(answerer->Messages().size(), size_t{1});
      QCOMPARE(answerer->Messages()[0].text, message);
      QCOMPARE(int(answerer->Messages()[0].icon), icon);
    } else {
      QVERIFY(answerer->Messages().empty());
    }
  }

  void mountpointChosenInItsDialog() {
    const fs::path job = root / "m.tsj";
    QVERIFY(MakeJob(job, {"--mountpoint", "OTHER", "--points", "5", "--float-fraction", "0"}));
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CMountPointDlg*>(w);
      QVERIFY(dialog);
      dialog->GetComboBox()->setCurrentIndex(1);
      dialog->accept();
    });
    dialogs->jobFiles.push_back(job);
    frame->GetAction(ID_TSJ_AC)->trigger();
    QCOMPARE(frame->GetDocument().TsjList().at(0).strMethod, std::string("VRSCMRP"));
  }

  // The files a file manager passes on "Open with": every one is added in order, a refused
  // one is told without stopping the rest, options are no files. Arguments: "A" and "B"
  // are two generated jobs, "text" a file that is no job, "gone" a path that does not
  // exist; anything else is passed as it is.
  void commandLineJobs_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("title");
    QTest::newRow("two jobs") << QStringList{"A", "B"} << QStringList{"a.tsj", "b.tsj"} << QStringList{}
                              << "a.tsj";
    QTest::newRow("missing one told, the other loads")
        << QStringList{"gone", "B"} << QStringList{"b.tsj"} << QStringList{"TSJ Dosyası okunamadı: "} << "b.tsj";
    QTest::newRow("no job between two") << QStringList{"A", "text", "B"} << QStringList{"a.tsj", "b.tsj"}
                                        << QStringList{"TARVEK TSJ Değil"} << "a.tsj";
    QTest::newRow("options skipped") << QStringList{"-style=fusion", "--reverse", "B", "-"}
                                     << QStringList{"b.tsj"} << QStringList{} << "b.tsj";
    QTest::newRow("nothing loads") << QStringList{"gone"} << QStringList{} << QStringList{"TSJ Dosyası okunamadı: "}
                                   << "Untitled";
    QTest::newRow("no arguments") << QStringList{} << QStringList{} << QStringList{} << "Untitled";
  }
  void commandLineJobs() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, loaded);
    QFETCH(QStringList, messages);
    QFETCH(QString, title);
    QVERIFY(MakeJob(root / "a.tsj", {"--seed", "21", "--points", "30", "--float-fraction", "0"}));
    QVERIFY(MakeJob(root / "b.tsj", {"--seed", "22", "--points", "20", "--float-fraction", "0"}));
    QFile text(QString::fromStdString((root / "notes.tsj").string()));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a job file at all\n");
    text.close();
    const QMap<QString, fs::path> named{{"A", root / "a.tsj"}, {"B", root / "b.tsj"},
                                        {"text", root / "notes.tsj"}, {"gone", root / "gone.tsj"}};
    QStringList passed;
    for (const QString& argument : arguments) {
      passed << (named.contains(argument) ? QString::fromStdString(named[argument].string()) : argument);
    }
    for (qsizetype i = 0; i < messages.size(); ++i) answerer->ExpectMessage();

    frame->LoadJobsFromCommandLine(passed);

    QVERIFY(answerer->Done());
    QCOMPARE(answerer->Messages().size(), size_t(messages.size()));
    for (qsizetype i = 0; i < messages.size(); ++i) {
      QVERIFY2(answerer->Messages()[i].text.startsWith(messages[i]), qPrintable(answerer->Messages()[i].text));
      QCOMPARE(answerer->Messages()[i].icon, QMessageBox::Warning);
    }
    const CVelmiraDoc& doc = frame->GetDocument();
    QStringList names;
    for (const tsjdosya& file : doc.TsjList()) names << QString::fromStdString(file.strFileName);
    QCOMPARE(names, loaded);
    QCOMPARE(frame->windowTitle(), title + QStringLiteral(" - Velmira V 1.4 - Pelinor"));

    // The last job file is selected and its points, and only its, are listed.
    CGridCtrl* files = frame->GetJobFilesView()->GetGridCtrl();
    CGridCtrl* points = frame->GetPointView()->GetGridCtrl();
    QCOMPARE(files->GetRowCount(), int(loaded.size()) + 1);
    if (loaded.isEmpty()) {
      QCOMPARE(points->GetRowCount(), 1);
      return;
    }
    QCOMPARE(files->GetSelectedCellRange().GetMinRow(), files->GetRowCount() - 1);
    const int last = doc.TsjList().back().nFileNumber;
    const auto count = std::count_if(doc.NoktaList().begin(), doc.NoktaList().end(),
                                     [last](const CTarvekNokta& p) { return p.nFileNumber == last; });
    QVERIFY(count > 0);
    QCOMPARE(points->GetRowCount(), int(count) + 1);
    for (int r = 1; r < points->GetRowCount(); ++r) QCOMPARE(points->GetItemText(r, 19), QString::number(last));
  }

  void openCancelledChangesNothing() {
    frame->GetAction(ID_TSJ_AC)->trigger();
    QCOMPARE(dialogs->jobFileAsks, 1);
    QCOMPARE(frame->GetDocument().m_nNextFileNumber, 1);
  }

  // A text that is no number brings the prompt and keeps the dialog open; a decimal
  // comma is a number; Cancel keeps the values.
  void settingsPromptAndCancel() {
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      dialog->GetEdit(CAyarlarDlg::kMaxDiffH)->setText(QStringLiteral("0.5 m"));
      dialog->accept();
    });
    answerer->ExpectMessage();
    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      QVERIFY(dialog->isVisible());
      QCOMPARE(dialog->focusWidget(), dialog->GetEdit(CAyarlarDlg::kMaxDiffH));
      dialog->GetEdit(CAyarlarDlg::kMaxDiffH)->setText(QStringLiteral("0,5"));
      dialog->accept();
    });
    frame->GetAction(ID_AYARLAR)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(answerer->Messages().at(0).text, QStringLiteral("Lütfen bir sayı girin (örnek 0.07)"));
    QCOMPARE(frame->GetDocument().m_dMaxDiffH, 0.5);

    answerer->Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      QCOMPARE(dialog->GetEdit(CAyarlarDlg::kMaxDiffH)->text(), QStringLiteral("0.5"));
      dialog->GetEdit(CAyarlarDlg::kMatchTol)->setText(QStringLiteral("7"));
      dialog->reject();
    });
    frame->GetAction(ID_AYARLAR)->trigger();
    QCOMPARE(frame->GetDocument().m_dMatchTol, 1.0);
  }

  void aboutBox() {
    answerer->Expect([](QWidget* w) {
      QCOMPARE(w->windowTitle(), QStringLiteral("About Velmira"));
      QVERIFY(!w->findChildren<QLabel*>().isEmpty());
      qobject_cast<QDialog*>(w)->accept();
    });
    frame->GetAction(ID_APP_ABOUT)->trigger();
    QVERIFY(answerer->Done());
  }

  void exitClosesWithoutAsking() {
    frame->GetAction(ID_APP_EXIT)->trigger();
    QVERIFY(!frame->isVisible());
  }

  // A Windows log-off emits aboutToQuit and then ends the process inside the event loop:
  // the job copies must be gone by the time the signal returns.
  void aboutToQuitRemovesTheJobCopies() {
    const fs::path cache = root / "user-cache";
#ifdef _WIN32
    const char* variable = "LOCALAPPDATA";
#else
    const char* variable = "XDG_CACHE_HOME";
#endif
    const QByteArray saved = qgetenv(variable);
    qputenv(variable, QByteArray::fromStdString(cache.string()));
    QVERIFY(MakeJob(root / "a.tsj", {"--seed", "21", "--points", "10", "--float-fraction", "0"}));
    const auto runFolders = [&] {
      int n = 0;
      std::error_code ec;
      for (const auto& top : fs::directory_iterator(cache, ec)) {
        for (const auto& entry : fs::directory_iterator(top.path(), ec)) n += entry.is_directory();
      }
      return n;
    };
    {
      CVelmiraApp app(0);
      QVERIFY(app.InitInstance());
      QVERIFY(app.GetMainFrame()->GetDocument().AddJobFile(root / "a.tsj"));
      QCOMPARE(runFolders(), 1);
      QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
      QVERIFY(!app.GetMainFrame());
      QCOMPARE(runFolders(), 0);
    }
    qputenv(variable, saved);
  }

};

QTEST_MAIN(MainFrameTest)
#include "mainframe_test.moc"
