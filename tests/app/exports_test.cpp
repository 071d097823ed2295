// The main window as a surveyor meets it around the forms: exports that refuse before
// asking for a name, one form per zone, and what the program remembers and speaks.
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QDir>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>

#include "ReadXls.h"
#include "FrameTest.h"
#include "app/CMainFrame.h"
#include "app/CVelmiraApp.h"
#include "app/Commands.h"
#include "tables/CGPSNoktaView.h"
#include "tables/FormWriters.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"

namespace fs = std::filesystem;

namespace {

QString ReadHeader(const fs::path& workbook, int column) {
  return PythonRead(workbook, QStringLiteral("sheet.cell_value(0, %1), sheet.nrows").arg(column));
}

}  // namespace

class ExportsTest : public FrameTest {
  Q_OBJECT

 private slots:
  void init() { StartFrame(); }

  void cleanup() { EndFrame(); }


  // Nothing written and nothing asked: the user is told why at once.
  void nothingTickedAndNoPairsAreToldBeforeTheDialogue() {
    AddJob("a.tsj", {"--seed", "3", "--points", "20", "--meridian", "33", "--method", "rtk", "--float-fraction", "0",
                     "--control-fraction", "0"});
    frame->GetDocument().ShowFilePoints(1);
    QVERIFY(frame->GetDocument().EslesenList().empty());
    const size_t before = answerer->Messages().size();
    answerer->ExpectMessage();
    frame->GetAction(ID_DETAY_EXCEL)->trigger();
    answerer->ExpectMessage();
    frame->GetAction(ID_POLIGON_EXCEL)->trigger();
    // A job with control points is matched as it is added.
    AddJob("b.tsj", {"--seed", "4", "--points", "20", "--meridian", "33", "--method", "rtk", "--float-fraction", "0"});
    QVERIFY(!frame->GetDocument().EslesenList().empty());
    const size_t later = answerer->Messages().size();
    answerer->ExpectMessage();
    frame->GetAction(ID_POLIGON_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    const auto& told = answerer->Messages();
    QCOMPARE(later, before + 3);  // the third: measured by RTK
    QCOMPARE(told.size(), later + 1);
    QCOMPARE(told[before].text, QStringLiteral("İşaretli satır yok; form yazılmadı."));
    QCOMPARE(told[before + 1].text, QStringLiteral("Eşleşen nokta yok; önce Poligon Eşleştir."));
    QCOMPARE(told[later].text, QStringLiteral("İşaretli satır yok; form yazılmadı."));
    for (size_t i : {before, before + 1, later}) QCOMPARE(told[i].icon, QMessageBox::Warning);
    QCOMPARE(dialogs->workbookAsks, 0);
  }

  // Pairs of two zones: the question lists them; "Vazgeç" asks nothing more, the other
  // answer writes one form per zone beside the chosen name, each naming its zone.
  void pairsOfTwoZonesGiveOneFormPerZone() {
    AddJob("a.tsj", {"--seed", "4", "--points", "40", "--meridian", "30", "--method", "rtk", "--float-fraction", "0"});
    AddJob("b.tsj", {"--seed", "5", "--points", "40", "--meridian", "33", "--method", "rtk", "--float-fraction", "0"});
    frame->GetDocument().MatchSessions();
    CVelmiraView* pairs = frame->GetPairView();
    QVERIFY(pairs->GetDataRowCount() > 1);
    pairs->SetAllChecks(true);

    QString question;
    answerer->Expect([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      question = box->text();
      box->button(QMessageBox::Cancel) ? box->button(QMessageBox::Cancel)->click() : box->buttons().last()->click();
    });
    frame->GetAction(ID_POLIGON_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    QVERIFY(question.contains(QStringLiteral("TM30: ")));
    QVERIFY(question.contains(QStringLiteral("TM33: ")));
    QCOMPARE(dialogs->workbookAsks, 0);

    answerer->Expect([](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      QCOMPARE(box->buttons().size(), 2);
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == QStringLiteral("Her dilim için ayrı form")) button->click();
      }
    });
    answerer->ExpectMessage();
    dialogs->workbooks.push_back(root / "poligon.xls");
    frame->GetAction(ID_POLIGON_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    QVERIFY(!fs::exists(root / "poligon.xls"));
    if (kXlrdRuns) QVERIFY(ReadHeader(root / "poligon_TM30.xls", 13).startsWith(QStringLiteral("KESİN KOORDİNAT (ITRF_30_3)")));
    if (kXlrdRuns) QVERIFY(ReadHeader(root / "poligon_TM33.xls", 13).startsWith(QStringLiteral("KESİN KOORDİNAT (ITRF_33_3)")));
    const QString report = answerer->Messages().back().text;
    QVERIFY(report.startsWith(QStringLiteral("2 poligon formu yazıldı:")));
    QVERIFY(report.contains(QString::fromStdString((root / "poligon_TM30.xls").string())));

    // Ticking one zone through the table's menu gives one form and no question.
    pairs->CheckZone("33");
    answerer->ExpectMessage();
    dialogs->workbooks.push_back(root / "one.xls");
    frame->GetAction(ID_POLIGON_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    if (kXlrdRuns) QVERIFY(ReadHeader(root / "one.xls", 13).startsWith(QStringLiteral("KESİN KOORDİNAT (ITRF_33_3)")));
  }

  // More ticked points than a sheet holds: the user is told of the two parts before the
  // file name; "Vazgeç" asks nothing more, "Parçalara böl" writes and reports both parts.
  void pointsBeyondASheetAreOfferedInParts() {
    AddJob("big.tsj", {"--seed", "5", "--points", "70000", "--meridian", "33", "--method", "rtk", "--float-fraction",
                       "0", "--control-fraction", "0"});
    frame->GetDocument().ShowFilePoints(1);
    frame->GetPointView()->SetAllChecks(true);
    const size_t points = frame->GetDocument().NoktaList().size();
    std::vector<std::pair<size_t, fs::path>> writes;
    frame->SetFormWriters({[&](const CVelmiraDoc&, const std::vector<PointKey>& rows, const fs::path& path) {
                             writes.emplace_back(rows.size(), path);
                             return Status();
                           }, nullptr});
    const auto answer = [&](const QString& button) {
      answerer->Expect([&, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box && box->text().contains(QStringLiteral("TM33: %1 nokta, 2 parça").arg(points)));
        for (QAbstractButton* b : box->buttons()) {
          if (b->text() == button) b->click();
        }
      });
    };
    answer(QStringLiteral("Vazgeç"));
    frame->GetAction(ID_DETAY_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(dialogs->workbookAsks, 0);
    answer(QStringLiteral("Parçalara böl"));
    answerer->ExpectMessage();
    dialogs->workbooks.push_back(root / "d.xls");
    frame->GetAction(ID_DETAY_EXCEL)->trigger();
    QVERIFY(answerer->Done());
    QCOMPARE(writes, (std::vector<std::pair<size_t, fs::path>>{{65534, root / "d_1.xls"}, {points - 65534, root / "d_2.xls"}}));
    QVERIFY(answerer->Messages().back().text.contains(QString::fromStdString((root / "d_2.xls").string())));
  }

  // The window and its panes come back as the user left them.
  void layoutIsRestoredAfterARestart() {
    QSplitter* outer = qobject_cast<QSplitter*>(frame->centralWidget());
    QVERIFY(outer);
    const QList<int> first = outer->sizes();
    outer->setSizes({first[0] + first[1] / 2, first[1] - first[1] / 2});
    const QList<int> chosen = outer->sizes();
    QVERIFY(chosen != first);
    frame.reset();  // saves on closing
    frame = std::make_unique<CMainFrame>(root / "cache");
    QCOMPARE(qobject_cast<QSplitter*>(frame->centralWidget())->sizes(), chosen);
  }

  // The open dialogue starts where the last job file was taken, in this run or the last.
  void fileDialogueRemembersItsFolder() {
    fs::create_directories(root / "jobs");
    fs::create_directories(root / "older");
    QSettings().setValue(QStringLiteral("folders/jobFiles"), QString::fromStdString((root / "older").string()));
    QString startedIn;
    AddJobFileThroughDialogue(root / "jobs" / "x.tsj", [&](QFileDialog* d) { startedIn = d->directory().absolutePath(); });
    // Qt spells the folders with '/' on Windows too.
    const auto qtPath = [](const fs::path& p) { return QDir::fromNativeSeparators(QString::fromStdString(p.string())); };
    QCOMPARE(startedIn, qtPath(root / "older"));
    QCOMPARE(QDir::fromNativeSeparators(QSettings().value(QStringLiteral("folders/jobFiles")).toString()),
             qtPath(root / "jobs"));
  }

  // A path is not broken in the middle while the box may still grow; on a screen too
  // small for that the box is never narrower than Qt's own.
  void messageBoxesAreNeverNarrowerThanQtMakesThem() {
    const QString text = QStringLiteral(
        "Excel dosyası kaydedilemedi: /home/kullanici/Belgeler/Projeler/2026/Formlar/p.xls\nDiskte yer kalmadı.");
    QMessageBox plain(QMessageBox::Warning, QStringLiteral("Velmira"), text, QMessageBox::Ok);
    plain.show();
    const int plainWidth = plain.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->width();
    plain.hide();
    int labelWidth = 0;
    answerer->Expect([&](QWidget* w) {
      auto* label = w->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      QVERIFY(label);
      labelWidth = label->width();
      qobject_cast<QMessageBox*>(w)->accept();
    });
    frame->ShowMessage(text.toStdString(), MessageIcon::Warning);
    QVERIFY(answerer->Done());
    QVERIFY2(labelWidth >= plainWidth, qPrintable(QStringLiteral("%1 < %2").arg(labelWidth).arg(plainWidth)));
  }

  void standardDialoguesSpeakTurkish() {
    QVERIFY(LoadTurkishTranslations());
    QVERIFY(QCoreApplication::translate("QFileDialog", "Look in:") != QStringLiteral("Look in:"));
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != QStringLiteral("Cancel"));
    QVERIFY(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?") !=
            QStringLiteral("%1 already exists.\nDo you want to replace it?"));
  }

 private:
  // Runs the real open dialogue: look() sees it as it opens, then the file is chosen.
  void AddJobFileThroughDialogue(const fs::path& job, std::function<void(QFileDialog*)> look) {
    if (!fs::exists(job)) QVERIFY(MakeJob(job, {"--seed", "6", "--points", "5", "--meridian", "33", "--method", "rtk"}));
    CQtFileDialogs real;
    answerer->Expect([&](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      QVERIFY2(dialog, w->metaObject()->className());
      if (look) look(dialog);
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      QVERIFY(name);
      name->setText(QString::fromStdString(job.string()));
      QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    const auto chosen = real.ChooseJobFile(frame.get());
    QVERIFY(answerer->Done());
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, job);
  }

};

QTEST_MAIN(ExportsTest)
#include "exports_test.moc"
