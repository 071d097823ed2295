// The "Kontrol" tab and the verdict as the main window keeps them: refreshed after every
// add, matching run, change of criteria and removal, and leading to the row of a finding.
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "FrameTest.h"
#include "app/CMainFrame.h"
#include "app/CMy3DTabViewContainer.h"
#include "jobdata/TableTexts.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CKontrolView.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"
#include "text/Numbers.h"

namespace fs = std::filesystem;

class KontrolTest : public FrameTest {
  Q_OBJECT

 private slots:
  void init() {
    StartFrame();
    QVERIFY(MakeJob(root / "a.tsj", {"--seed", "21", "--points", "60", "--method", "network", "--mountpoint",
                                     "VRSRTCM31", "--meridian", "30"}));
  }

  void cleanup() { EndFrame(); }


  void tabAndVerdictFollowTheDocument() {
    CKontrolView* kontrol = frame->GetKontrolView();
    QCOMPARE(kontrol->GetVerdictLabel()->text(), QStringLiteral("Kontrol edilecek nokta yok."));
    QCOMPARE(IdleText(), QStringLiteral("Ready"));

    Add();
    ExpectShown(CheckRules(frame->GetDocument(), frame->GetActiveProfile()));
    const size_t pointFindings = frame->GetFindings().size();

    frame->GetDocument().MatchSessions();  // pairs bring their own rules
    QVERIFY(!frame->GetDocument().EslesenList().empty());
    ExpectShown(CheckRules(frame->GetDocument(), frame->GetActiveProfile()));
    QVERIFY(frame->GetFindings().size() >= pointFindings);

    RuleProfile strict = frame->GetActiveProfile();  // every pair breaks a 0.1 mm limit
    strict.dMaxDiffY = 0.0001;
    frame->SetActiveProfile(strict);
    QCOMPARE(frame->GetDocument().m_dMaxDiffY, 0.0001);  // the red cells follow the check
    ExpectShown(CheckRules(frame->GetDocument(), strict), QStringLiteral(" (değiştirildi)"));
    QVERIFY(std::any_of(frame->GetFindings().begin(), frame->GetFindings().end(),
                        [](const Finding& f) { return f.rule == "diff-y"; }));
    QVERIFY(!Summarize(frame->GetFindings()).Ready());
    QCOMPARE(kontrol->GetVerdictLabel()->text(),
             VerdictText(Summarize(frame->GetFindings())) + QStringLiteral(" (değiştirildi)"));
    QCOMPARE(IdleText(), kontrol->GetVerdictLabel()->text());

    CTSJView* files = frame->GetJobFilesView();
    files->SetAllChecks(true);
    files->GetPopupMenu()->actions()[0]->trigger();  // "İşaretli Dosyayı Kaldır"
    QVERIFY(frame->GetDocument().TsjList().empty());
    QCOMPARE(kontrol->GetDataRowCount(), 0);
    QCOMPARE(kontrol->GetVerdictLabel()->text(), QStringLiteral("Kontrol edilecek nokta yok."));
    QCOMPARE(IdleText(), QStringLiteral("Ready"));
  }

  // A double click leads to the finding's row; its cells are red where the rule broke.
  void aFindingLeadsToItsRow() {
    Add();
    frame->GetDocument().MatchSessions();
    RuleProfile demanding = frame->GetActiveProfile();
    demanding.minDetailEpochs = 100000;  // every point falls short
    frame->SetActiveProfile(demanding);
    const auto& findings = frame->GetFindings();
    const auto point = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
      return f.target == Finding::Target::Point && f.rule == "epochs";
    });
    QVERIFY(point != findings.end());
    frame->ShowFinding(*point);
    CGridCtrl* points = frame->GetPointView()->GetGridCtrl();
    const int row = points->GetFocusCell().row;
    QVERIFY(row >= 1);
    QCOMPARE(text::AtoI(points->GetItemText8(row, kPointIndexColumn)), point->nIndex);
    QCOMPARE(points->GetItemBkColour(row, 8), QColor(255, 1, 1));  // "Epok Sayısı"

    demanding.minPairEpochs = 100000;  // every session falls short
    frame->SetActiveProfile(demanding);
    const auto pair = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
      return f.target == Finding::Target::Pair && f.rule == "epochs";
    });
    QVERIFY(pair != findings.end());
    frame->GetContainer(CMainFrame::Pane::Pairs)->SetActivePageIndex(1);
    frame->ShowFinding(*pair);
    QCOMPARE(frame->GetContainer(CMainFrame::Pane::Pairs)->currentIndex(), 0);
    CGridCtrl* pairs = frame->GetPairView()->GetGridCtrl();
    const int pairRow = pairs->GetFocusCell().row;
    QVERIFY(pairRow >= 1);
    QCOMPARE(text::AtoI(pairs->GetItemText8(pairRow, kPairNoColumn)), pair->nIndex);
    QCOMPARE(pairs->GetItemBkColour(pairRow, 2), QColor(255, 1, 1));
    QCOMPARE(pairs->GetItemBkColour(pairRow, 3), QColor(255, 1, 1));
  }

 private:
  void Add() {
    answerer->ExpectMessage();  // the float solutions left out
    QVERIFY(frame->GetDocument().AddJobFile(root / "a.tsj"));
    QVERIFY(answerer->Done());
  }

  // changed: what the verdict says after it while the limits are not the regulation's.
  void ExpectShown(const std::vector<Finding>& expected, const QString& changed = {}) {
    CKontrolView* kontrol = frame->GetKontrolView();
    QCOMPARE(frame->GetFindings().size(), expected.size());
    QCOMPARE(kontrol->GetDataRowCount(), static_cast<int>(expected.size()));
    for (int row = 1; row <= kontrol->GetDataRowCount(); ++row) {
      const auto texts = FindingRowTexts(expected[static_cast<size_t>(row - 1)]);
      QCOMPARE(kontrol->GetGridCtrl()->GetItemText8(row, 0), texts[0]);
      QCOMPARE(kontrol->GetGridCtrl()->GetItemText8(row, 2), texts[2]);
      QCOMPARE(kontrol->GetGridCtrl()->GetItemText8(row, 5), texts[5]);
    }
    QCOMPARE(kontrol->GetVerdictLabel()->text(), VerdictText(Summarize(expected)) + changed);
    QCOMPARE(IdleText(), VerdictText(Summarize(expected)) + changed);
  }

  QString IdleText() const { return frame->statusBar()->findChildren<QLabel*>().first()->text(); }

};

QTEST_MAIN(KontrolTest)
#include "kontrol_test.moc"
