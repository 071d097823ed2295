// The dialogs, the criteria texts, the splash window and start-up.
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

#include "TestSupport.h"
#include "app/CAyarlarDlg.h"
#include "app/CBoylamDlg.h"
#include "app/CMountPointDlg.h"
#include "app/CMy3DTabViewContainer.h"
#include "app/COlcuYontemDlg.h"
#include "app/CSplashWnd.h"
#include "app/CVelmiraApp.h"
#include "app/Artwork.h"

Q_DECLARE_METATYPE(std::optional<double>)

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void parseCriterion_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "0.07" << true << 0.07;
    QTest::newRow("blanks around") << "  2 " << true << 2.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("negative") << "-1.5" << true << -1.5;
    QTest::newRow("plus sign") << "+3" << true << 3.0;
    QTest::newRow("zero") << "0" << true << 0.0;
    QTest::newRow("exponent") << "1e-3" << true << 0.001;
    // A Turkish keyboard types a comma for the decimal point.
    QTest::newRow("decimal comma") << "0,5" << true << 0.5;
    QTest::newRow("comma and blanks") << " 0,02 " << true << 0.02;
    QTest::newRow("two commas") << "1,000,5" << false << 0.0;
    QTest::newRow("comma and point") << "1.000,5" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow("trailing text") << "1.5m" << false << 0.0;
    QTest::newRow("inside blank") << "1 5" << false << 0.0;
    // Regression: "nan" and "inf" passed as numbers, and a criterion that is not finite
    // makes every difference pass (or fail) its test without a word.
    QTest::newRow("not a number") << "nan" << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << 0.0;
    QTest::newRow("overflow") << "1e400" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
  }
  void parseCriterion() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const auto parsed = ParseCriterion(text.toStdString());
    QCOMPARE(parsed.has_value(), ok);
    if (ok) QCOMPARE(*parsed, value);
  }

  void formatCriterion_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.07") << 0.07 << "0.07";
    QTest::newRow("one") << 1.0 << "1";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("fifteen digits") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("negative") << -2.5 << "-2.5";
  }
  void formatCriterion() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatCriterion(value)), text);
  }

  void settingsDialogShowsAndReadsTheFiveFields() {
    CAyarlarDlg dialog{CMatchCriteria{}};
    QCOMPARE(dialog.windowTitle(), QStringLiteral("AYARLAR"));
    QCOMPARE(dialog.GetEdit(CAyarlarDlg::kMatchTol)->text(), QStringLiteral("1"));
    QCOMPARE(dialog.GetEdit(CAyarlarDlg::kMaxDiffY)->text(), QStringLiteral("0.07"));
    QCOMPARE(dialog.GetEdit(CAyarlarDlg::kMaxDiffX)->text(), QStringLiteral("0.07"));
    QCOMPARE(dialog.GetEdit(CAyarlarDlg::kMaxDiffH)->text(), QStringLiteral("0.07"));
    QCOMPARE(dialog.GetEdit(CAyarlarDlg::kMinDiffHours)->text(), QStringLiteral("1"));
    QCOMPARE(dialog.findChild<QGroupBox*>()->title(), QStringLiteral("Kriterler"));
    const std::pair<CAyarlarDlg::Field, const char*> labels[] = {
        {CAyarlarDlg::kMatchTol, "Eşleştirme Toleransı (m)"}, {CAyarlarDlg::kMaxDiffY, "Max. Fark Sağa (m)"},
        {CAyarlarDlg::kMaxDiffX, "Max. Fark Yukarı (m)"},     {CAyarlarDlg::kMaxDiffH, "Max. Fark Elips.H (m)"},
        {CAyarlarDlg::kMinDiffHours, "Min. Fark Zaman (saat)"},
    };
    for (const auto& [field, label] : labels) {
      const QList<QLabel*> all = dialog.findChildren<QLabel*>();
      const auto it = std::find_if(all.begin(), all.end(), [&](QLabel* l) { return l->buddy() == dialog.GetEdit(field); });
      QVERIFY(it != all.end());
      QCOMPARE((*it)->text(), QString::fromUtf8(label));
    }
    const char* texts[] = {"0.5", "0.01", "0.02", "0.03", "2"};
    for (int f = 0; f < CAyarlarDlg::kFieldCount; ++f) {
      dialog.GetEdit(static_cast<CAyarlarDlg::Field>(f))->setText(QString::fromLatin1(texts[f]));
    }
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const CMatchCriteria c = dialog.GetCriteria();
    QCOMPARE(c.dMatchTol, 0.5);
    QCOMPARE(c.dMaxDiffY, 0.01);
    QCOMPARE(c.dMaxDiffX, 0.02);
    QCOMPARE(c.dMaxDiffH, 0.03);
    QCOMPARE(c.dMinDiffHours, 2.0);
  }

  void meridianDialogOffersTheSevenZones() {
    CBoylamDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("DİLİM ORTA MERİDYENİ"));
    QStringList items;
    for (int i = 0; i < dialog.GetComboBox()->count(); ++i) items << dialog.GetComboBox()->itemText(i);
    QCOMPARE(items, (QStringList{"27", "30", "33", "36", "39", "42", "45"}));
    QCOMPARE(dialog.GetValue(), std::string("27"));
    QVERIFY(!dialog.GetComboBox()->isEditable());
    dialog.GetComboBox()->setCurrentIndex(6);
    QCOMPARE(dialog.GetValue(), std::string("45"));
  }

  void methodDialogYieldsRtkOrTheMountpoint() {
    COlcuYontemDlg dialog(QStringLiteral("iş.tsj"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("iş.tsj"));
    QVERIFY(dialog.GetRtkButton()->isChecked());
    QVERIFY(!dialog.GetComboBox()->isEnabled());
    QCOMPARE(dialog.GetComboBox()->count(), 17);
    dialog.GetComboBox()->setCurrentIndex(4);
    QCOMPARE(dialog.GetValue(), std::string("RTK"));  // whatever the list shows
    dialog.GetComboBox()->setCurrentIndex(0);
    dialog.GetCorsButton()->click();
    QVERIFY(dialog.GetCorsButton()->isChecked());
    QVERIFY(dialog.GetComboBox()->isEnabled());
    QCOMPARE(dialog.GetValue(), std::string("VRSRTCM31"));
    dialog.GetComboBox()->setCurrentIndex(12);
    QCOMPARE(dialog.GetValue(), std::string("VRS03"));
    dialog.GetRtkButton()->click();
    QVERIFY(!dialog.GetComboBox()->isEnabled());
    QCOMPARE(dialog.GetValue(), std::string("RTK"));
  }

  void mountpointDialogOffersTheKnownNamesAndTakesATypedOne() {
    CMountPointDlg dialog(QStringLiteral("m.tsj"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("m.tsj"));
    QCOMPARE(dialog.GetComboBox()->count(), 17);
    QCOMPARE(dialog.GetValue(), std::string("VRSRTCM31"));
    QCOMPARE(dialog.GetComboBox()->itemText(8), QStringLiteral("MAC01"));
    QCOMPARE(dialog.GetComboBox()->itemText(13), QStringLiteral("VRSRTCM34"));
    QCOMPARE(dialog.GetComboBox()->itemText(16), QStringLiteral("DGPSNet"));
    dialog.GetComboBox()->setCurrentIndex(1);
    QCOMPARE(dialog.GetValue(), std::string("VRSCMRP"));

    // An unknown stream keeps its real name, as the job file gives it, or as typed.
    CMountPointDlg own(QStringLiteral("m.tsj"), QStringLiteral(" KONYA_VRS3 "));
    QCOMPARE(own.GetValue(), std::string("KONYA_VRS3"));
    own.GetComboBox()->setCurrentText(QStringLiteral("İZMİR1"));
    QCOMPARE(own.GetValue(), std::string("\xDDZM\xDDR1"));  // Windows-1254
    auto* buttons = own.findChild<QDialogButtonBox*>();
    own.GetComboBox()->setCurrentText(QStringLiteral("  "));
    QVERIFY(!buttons->button(QDialogButtonBox::Ok)->isEnabled());
    own.GetComboBox()->setCurrentText(QStringLiteral("X"));
    QVERIFY(buttons->button(QDialogButtonBox::Ok)->isEnabled());
  }

  void containerPages() {
    CMy3DTabViewContainer container;
    QVERIFY(!container.InsertPage(1, new QWidget, QStringLiteral("x"), QIcon()));
    QVERIFY(!container.InsertPage(0, nullptr, QStringLiteral("x"), QIcon()));
    QCOMPARE(container.GetPage(0), nullptr);
    auto* page = new QWidget;
    QVERIFY(container.InsertPage(0, page, QStringLiteral("Sayfa"), TabIcon(TabImage::Points)));
    QVERIFY(container.SetActivePageIndex(0));
    QVERIFY(!container.SetActivePageIndex(1));
    QCOMPARE(container.GetPage(0), page);
    QCOMPARE(container.tabText(0), QStringLiteral("Sayfa"));
  }

  void splashIgnoresCloseUntilAllowedAndCanBeDragged() {
    CSplashWnd splash(SplashPicture());
    QCOMPARE(splash.size(), QSize(481, 321));
    splash.ShowCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QVERIFY(!splash.close());
    QVERIFY(splash.isVisible());
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(splash.isVisible());

    const QPoint before = splash.pos();
    QTest::mousePress(&splash, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), splash.mapToGlobal(QPointF(40, 30)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&splash, &move);
    QTest::mouseRelease(&splash, Qt::LeftButton, {}, QPoint(40, 30));
    QCOMPARE(splash.pos(), before + QPoint(30, 20));

    splash.AllowClose();
    QVERIFY(splash.close());
    QVERIFY(!splash.isVisible());
  }

  void startUpShowsTheSplashForTwoSecondsThenTheMainWindow() {
    qputenv("XDG_CACHE_HOME", QDir::tempPath().toUtf8() + "/velmira-startup-test");
    CVelmiraApp app;
    bool splashSeen = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
      if (QWidget* w = QApplication::activeWindow(); w && qobject_cast<CSplashWnd*>(w)) splashSeen = true;
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<CSplashWnd*>(w) && w->isVisible()) splashSeen = true;
      }
    });
    probe.start(50);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(app.InitInstance());
    QVERIFY(clock.elapsed() >= CVelmiraApp::kSplashMs);
    QVERIFY(splashSeen);
    QVERIFY(!app.GetSplashWnd()->isVisible());
    QVERIFY(app.GetMainFrame()->isVisible());
    QVERIFY(app.GetMainFrame()->windowState() & Qt::WindowMaximized);
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
