// "Teslim Klasörü Oluştur..." as a surveyor uses it: the folder the command line writes,
// the ticked rows choosing the forms, a full folder chosen, and the folder opened.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QPushButton>
#include <QSettings>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <set>
#include <sstream>

#include "FrameTest.h"
#include "app/CAyarlarDlg.h"
#include "app/CMainFrame.h"
#include "tables/CKontrolView.h"
#include "app/Commands.h"
#include "tables/CVelmiraView.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

}  // namespace

class DeliveryCommandTest : public FrameTest {
  Q_OBJECT

 private slots:
  void init() { StartFrame(); }

  void cleanup() { EndFrame(); }


  // Without ticks the desktop writes what velmira-cli deliver writes, byte for byte:
  // both take the session's steps.
  void theFolderEqualsTheCommandLines() {
    AddJob("parsel.tsj", {"--seed", "21", "--points", "60", "--meridian", "33", "--method", "rtk", "--float-fraction", "0"});
    AddJob("ada.tsj", {"--seed", "22", "--points", "40", "--meridian", "30", "--method", "rtk", "--float-fraction", "0"});
    QVERIFY(frame->GetSession().IsMatchCurrent());
    dialogs->deliveryFolders.push_back(root / "masaustu");
    answerer->ExpectMessage();
    frame->GetAction(ID_TESLIM_KLASORU)->trigger();
    QVERIFY(answerer->Done());
    QVERIFY(!frame->GetDocument().EslesenList().empty());
    QVERIFY(answerer->Messages().back().text.startsWith(
        QStringLiteral("Teslim klasörü yazıldı: ") + QString::fromStdString((root / "masaustu").string())));

    QProcess cli;
    StartCli(cli, {QStringLiteral("deliver"), QStringLiteral("--profile"), QString::fromStdString(frame->GetActiveProfile().id),
               QStringLiteral("-o"), QString::fromStdString((root / "cli").string()),
               QString::fromStdString((root / "parsel.tsj").string()), QString::fromStdString((root / "ada.tsj").string())});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0 || cli.exitCode() == 3, cli.readAllStandardError().constData());
    QCOMPARE(Listing(root / "masaustu"), Listing(root / "cli"));
    QVERIFY(Listing(root / "cli").count("poligon_TM30.xls"));
    for (const std::string& name : Listing(root / "cli")) {
      QVERIFY2(Bytes(root / "masaustu" / name) == Bytes(root / "cli" / name), name.c_str());
    }
  }

  // Ticked pairs choose the polygon form and the final coordinates; a chosen folder that
  // is not empty gets a new folder inside; "Klasörü Aç" hands the folder to the opener.
  void tickedPairsAFullFolderAndOpening() {
    AddJob("parsel.tsj", {"--seed", "23", "--points", "80", "--meridian", "33", "--method", "rtk", "--float-fraction", "0"});
    AddJob("ada.tsj", {"--seed", "24", "--points", "20", "--meridian", "33", "--method", "rtk", "--float-fraction", "0"});
    frame->GetDocument().ShowFilePoints(1);
    frame->GetDocument().MatchSessions();
    CVelmiraView* pairs = frame->GetPairView();
    QVERIFY(pairs->GetDataRowCount() > 2);
    pairs->GetGridCtrl()->SetCheck(2, 0, true);
    const int ticked = pairs->CheckedPairNumbers().at(0);
    std::string tickedName;
    for (const CEslesenNokta& pair : frame->GetDocument().EslesenList()) {
      if (pair.nPairNo == ticked) tickedName = pair.strName1;
    }
    std::ofstream(root / "proje.txt") << "the surveyor's own";
    dialogs->deliveryFolders.push_back(root);
    answerer->Expect([](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      // Named after the delivery, not after its first job only.
      QVERIFY2(box->text().contains(QStringLiteral("içinde yeni bir klasör açıldı: parsel+1_teslim")), qPrintable(box->text()));
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == QStringLiteral("Klasörü Aç")) button->click();
      }
    });
    frame->GetAction(ID_TESLIM_KLASORU)->trigger();
    QVERIFY(answerer->Done());
    const fs::path made = root / "parsel+1_teslim";
    QCOMPARE(opened.size(), size_t(1));
    QCOMPARE(opened[0], made);
    const std::string kesinpol = Bytes(made / "parsel_kesinpol.txt");
    QCOMPARE(std::count(kesinpol.begin(), kesinpol.end(), '\n'), 1L);
    QVERIFY(kesinpol.starts_with(tickedName + " "));
    QCOMPARE(Bytes(root / "proje.txt"), std::string("the surveyor's own"));
  }

  // The folder dialogue refused a new folder's name ("Dizin bulunamadı"), though a new
  // folder is what a delivery is best given.
  void theFolderDialogueTakesANewName() {
    CQtFileDialogs real;
    answerer->Expect([&](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      QVERIFY2(dialog, w->metaObject()->className());
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      QVERIFY(name);
      name->setText(QStringFromPath(root / "yeni"));
      QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    const auto chosen = real.ChooseDeliveryFolder(frame.get());
    QVERIFY(answerer->Done());
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, root / "yeni");
  }

  // Opened with Ctrl+O and never matched by hand: Kontrol and the status bar give what
  // velmira-cli check gives; a limit edited in "Ayarlar" recolours the cells at once and
  // back again, and the ticked pairs keep their ticks through a new matching.
  void theVerdictIsNeverStale() {
    QVERIFY(MakeJob(root / "parsel.tsj", {"--seed", "21", "--points", "80", "--meridian", "33", "--method", "rtk",
                                          "--float-fraction", "0"}));
    dialogs->jobFiles.push_back(root / "parsel.tsj");
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    answerer->ExpectMessage();  // measured by RTK
    QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(answerer->Done());

    QProcess cli;
    StartCli(cli, {QStringLiteral("check"), QStringLiteral("--profile"),
                                            QString::fromStdString(frame->GetActiveProfile().id),
                                            QString::fromStdString((root / "parsel.tsj").string())});
    QVERIFY(cli.waitForFinished(60000));
    const QStringList rows = QString::fromUtf8(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    // "velmira-cli: <profile>: <verdict>"
    const QString verdict = QString::fromUtf8(cli.readAllStandardError()).trimmed().section(QStringLiteral(": "), 2);
    QVERIFY2(!verdict.startsWith(QStringLiteral("Teslime")), qPrintable(verdict));
    QCOMPARE(frame->GetKontrolView()->GetDataRowCount(), static_cast<int>(rows.size()) - 1);
    QVERIFY(frame->statusBar()->findChildren<QLabel*>().size() > 0);
    bool shown = false;
    for (const QLabel* label : frame->statusBar()->findChildren<QLabel*>()) shown = shown || label->text() == verdict;
    QVERIFY2(shown, qPrintable(verdict));

    CVelmiraView* pairs = frame->GetPairView();
    const auto redCells = [&] {
      int n = 0;
      for (int row = 1; row < pairs->GetGridCtrl()->GetRowCount(); ++row) {
        n += pairs->GetGridCtrl()->GetItemBkColour(row, 4) == kBreachColour;
      }
      return n;
    };
    const auto setMaxDiffY = [&](const QString& value) {
      answerer->Expect([value](QWidget* w) {
        auto* dialog = qobject_cast<CAyarlarDlg*>(w);
        QVERIFY(dialog);
        dialog->GetEdit(CAyarlarDlg::kMaxDiffY)->setText(value);
        dialog->accept();
      });
      frame->GetAction(ID_AYARLAR)->trigger();
      QVERIFY(answerer->Done());
    };
    int overLimit = 0;
    for (const CEslesenNokta& pair : frame->GetDocument().EslesenList()) overLimit += pair.dDiffY > 0.001;
    const int before = redCells();
    QVERIFY(overLimit > before);
    setMaxDiffY(QStringLiteral("0.001"));
    QCOMPARE(redCells(), overLimit);
    setMaxDiffY(QStringLiteral("0.07"));
    QCOMPARE(redCells(), before);

    pairs->GetGridCtrl()->SetCheck(2, 0, true);
    const std::vector<std::pair<int, int>> ticked = pairs->CheckedObservationPairs();
    frame->GetAction(ID_POLIGON_ESLESTIR)->trigger();
    QCOMPARE(pairs->CheckedObservationPairs(), ticked);
  }

  void withoutJobFilesNothingIsAsked() {
    answerer->ExpectMessage();
    frame->GetAction(ID_TESLIM_KLASORU)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(answerer->Messages().back().text, QStringLiteral("Yüklü TSJ dosyası yok; önce bir TSJ dosyası açın."));
    QCOMPARE(dialogs->deliveryAsks, 0);
  }

 private:
  // velmira-cli with the desktop's cache folder.
  void StartCli(QProcess& cli, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), QString::fromStdString((root / "cache").string()));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(VELMIRA_CLI), args);
  }

};

QTEST_MAIN(DeliveryCommandTest)
#include "delivery_test.moc"
