// The desktop program under a Turkish locale, where the C library's number functions
// would read and write a decimal comma.
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>

#include "MakeJob.h"
#include "TestSupport.h"
#include "app/CAyarlarDlg.h"
#include "app/CMainFrame.h"
#include "app/Commands.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CTSJView.h"
#include "support/QtOracle.h"

class TurkishLocaleTest : public QObject {
  Q_OBJECT

 private slots:
  // The criteria are remembered; each run starts as a fresh user.
  void init() { QSettings().clear(); }
  void cleanup() { QSettings().clear(); }

  void numbersKeepTheFullStop() {
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    if (!numeric || !QByteArray(numeric).startsWith("tr_TR")) VELMIRA_QT_ORACLE_MISSING("runs under LC_ALL=tr_TR.UTF-8, as ctest starts it; is that locale generated?");
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f", 0.5);
    QCOMPARE(QByteArray(buffer), QByteArray("0,5"));  // the trap the program must avoid

    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    QVERIFY(MakeJob(root / "iş.tsj", {"--points", "10", "--float-fraction", "0"}));
    CMainFrame frame(root / "cache");
    auto dialogs = std::make_unique<ScriptedFileDialogs>();
    dialogs->jobFiles.push_back(root / "iş.tsj");
    frame.SetFileDialogs(std::move(dialogs));
    frame.show();
    ModalAnswerer answerer;
    frame.GetAction(ID_TSJ_AC)->trigger();
    QVERIFY2(answerer.Unexpected().isEmpty(), qPrintable(answerer.Unexpected().join('|')));
    CGridCtrl* files = frame.GetJobFilesView()->GetGridCtrl();
    QCOMPARE(files->GetItemText(1, 0), QStringLiteral("iş.tsj"));
    frame.GetDocument().ShowFilePoints(1);
    CGridCtrl* points = frame.GetPointView()->GetGridCtrl();
    QVERIFY(points->GetRowCount() > 1);
    for (int c : {2, 3, 4, 9, 15}) {
      const QString cell = points->GetItemText(1, c);
      QVERIFY2(cell.contains('.') && !cell.contains(','), qPrintable(cell));
    }

    answerer.Expect([](QWidget* w) {
      auto* dialog = qobject_cast<CAyarlarDlg*>(w);
      QVERIFY(dialog);
      QCOMPARE(dialog->GetEdit(CAyarlarDlg::kMaxDiffY)->text(), QStringLiteral("0.07"));
      dialog->GetEdit(CAyarlarDlg::kMaxDiffY)->setText(QStringLiteral("0.25"));
      dialog->accept();
    });
    frame.GetAction(ID_AYARLAR)->trigger();
    QVERIFY(answerer.Done());
    QCOMPARE(frame.GetDocument().m_dMaxDiffY, 0.25);
    // The remembered criteria read back under the Turkish locale too.
    CMainFrame next(root / "cache2");
    QCOMPARE(next.GetDocument().m_dMaxDiffY, 0.25);
  }
};

QTEST_MAIN(TurkishLocaleTest)
#include "locale_test.moc"
