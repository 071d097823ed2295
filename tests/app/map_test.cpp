// The "Harita" and "Farklar" tabs in the main window: built only when shown, tied to the
// tables in both directions, and saved as pictures.
#include <QAbstractButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

#include "FrameTest.h"
#include "app/CMainFrame.h"
#include "app/CMy3DTabViewContainer.h"
#include "app/Commands.h"
#include "mapview/CFarklarView.h"
#include "mapview/CHaritaPane.h"
#include "mapview/CHaritaView.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CVelmiraView.h"

namespace fs = std::filesystem;

class MapTabsTest : public FrameTest {
  Q_OBJECT

 private slots:
  void init() {
    StartFrame();
    AddJob("a.tsj", {"--seed", "31", "--points", "40", "--meridian", "33", "--method", "rtk", "--float-fraction", "0"});
    AddJob("b.tsj", {"--seed", "32", "--points", "30", "--meridian", "33", "--method", "rtk", "--float-fraction", "0"});
    frame->GetDocument().MatchSessions();
    frame->GetDocument().ShowFilePoints(1);
  }

  void cleanup() { EndFrame(); }


  // Hidden tabs cost nothing: the map is built when its tab is opened, and again after a
  // change only while it shows.
  void theMapIsBuiltWhenShown() {
    CHaritaView* map = frame->GetHaritaPane()->Map();
    QCOMPARE(map->Model().Dots().size(), size_t(0));
    QVERIFY(frame->ShowTab(QStringLiteral("harita")));
    QCOMPARE(map->Model().Dots().size(), frame->GetDocument().NoktaList().size());
    QVERIFY(frame->ShowTab(QStringLiteral("farklar")));
    QVERIFY(frame->GetFarklarView()->HasPairs());
    QVERIFY(!frame->ShowTab(QStringLiteral("yok")));
  }

  // A click on the map lists the point's job file and selects its row; a selected row
  // and ticked rows show on the map.
  void mapAndPointTableFollowEachOther() {
    QVERIFY(frame->ShowTab(QStringLiteral("harita")));
    CHaritaView* map = frame->GetHaritaPane()->Map();
    const CTarvekNokta& inB = frame->GetDocument().NoktaList().back();
    QCOMPARE(inB.nFileNumber, 2);
    emit map->PointClicked(inB.nIndex, inB.nFileNumber);
    CGPSNoktaView* points = frame->GetPointView();
    QCOMPARE(points->SelectedRowKeys(kPointIndexColumn), std::vector<int>{inB.nIndex});
    QCOMPARE(points->SelectedRowKeys(kPointFileNumberColumn), std::vector<int>{2});
    QCOMPARE(map->SelectedPoints(), std::vector<int>{inB.nIndex});

    points->SetAllChecks(true);
    std::vector<int> ticked;
    for (const PointKey& key : points->CheckedPointKeys()) ticked.push_back(key.nIndex);
    QVERIFY(!ticked.empty());
    QCOMPARE(map->TickedPoints(), ticked);
    frame->GetDocument().ShowFilePoints(1);
    QVERIFY2(map->TickedPoints().empty(), "a new listing has no ticks");
  }

  // A click on a plotted pair selects its row; a selected pair shows on both pictures.
  void plotsPairTableAndMapFollowEachOther() {
    QVERIFY(frame->ShowTab(QStringLiteral("harita")));
    QVERIFY(frame->ShowTab(QStringLiteral("farklar")));
    CFarklarView* plots = frame->GetFarklarView();
    CVelmiraView* pairs = frame->GetPairView();
    const int pairNo = frame->GetDocument().EslesenList().back().nPairNo;
    emit plots->PairClicked(pairNo);
    QCOMPARE(pairs->SelectedRowKeys(kPairNoColumn), std::vector<int>{pairNo});
    QCOMPARE(plots->SelectedPairs(), std::set<int>{pairNo});
    QCOMPARE(frame->GetHaritaPane()->Map()->SelectedPairs(), std::vector<int>{pairNo});
  }

  // The picture shown is saved as PNG or SVG; with both tabs open the user chooses.
  void picturesAreSaved() {
    answerer->ExpectMessage();
    frame->GetAction(ID_RESIM_KAYDET)->trigger();
    QVERIFY(answerer->Done());
    QVERIFY(answerer->Messages().back().text.startsWith(QStringLiteral("Kaydedilecek resim gösterilmiyor")));
    QCOMPARE(dialogs->pictureAsks, 0);

    QVERIFY(frame->ShowTab(QStringLiteral("harita")));
    dialogs->pictures = {root / "harita.png", root / "harita.svg"};
    frame->GetAction(ID_RESIM_KAYDET)->trigger();
    frame->GetAction(ID_RESIM_KAYDET)->trigger();
    QVERIFY(!QImage(QString::fromStdString((root / "harita.png").string())).isNull());
    QVERIFY(fs::file_size(root / "harita.svg") > 0);

    QVERIFY(frame->ShowTab(QStringLiteral("farklar")));
    answerer->Expect([](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == QStringLiteral("Farklar")) button->click();
      }
    });
    dialogs->pictures = {root / "farklar.png"};
    frame->GetAction(ID_RESIM_KAYDET)->trigger();
    QVERIFY(answerer->Done());
    const QImage plots(QString::fromStdString((root / "farklar.png").string()));
    QVERIFY(!plots.isNull());
    QVERIFY2(plots.width() > plots.height(), "both plots side by side");
  }

};

QTEST_MAIN(MapTabsTest)
#include "map_test.moc"
