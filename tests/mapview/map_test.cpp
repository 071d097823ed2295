// The map view as a user meets it: clicks and drags, the wheel, what the marks do to the
// painted pixels, fitting, the magnified vectors, the zone choice, and the saved pictures
// read back by independent readers (xmllint for the SVG, Qt's PNG reader for the image).
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "ScriptedShell.h"
#include "drawing/Plots.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/CVelmiraDocAccess.h"
#include "mapview/CHaritaPane.h"
#include "mapview/CHaritaView.h"

using jobmap::GridPoint;
using jobmap::ScreenPoint;

namespace {

struct Doc {
  ScriptedShell shell;
  std::unique_ptr<CVelmiraDoc> doc =
      std::make_unique<CVelmiraDoc>(shell, std::filesystem::temp_directory_path() / "velmira-map-view-test-unused");
  std::vector<Finding> findings;

  void File(int number, const std::string& meridian) {
    tsjdosya f;
    f.nFileNumber = number;
    f.strMeridian = meridian;
    f.strFileName = "j" + std::to_string(number) + ".tsj";
    CVelmiraDocAccess::TsjList(*doc).push_back(f);
  }
  void Point(int nIndex, int file, double y, double x, const std::string& name = "P", const std::string& meridian = "30") {
    CTarvekNokta p;
    p.nIndex = nIndex;
    p.nFileNumber = file;
    p.strMeridian = meridian;
    p.dY = y;
    p.dX = x;
    p.strName = name;
    CVelmiraDocAccess::NoktaList(*doc).push_back(p);
  }
  void Pair(int pairNo, int first, int second) {
    CEslesenNokta e;
    e.nPairNo = pairNo;
    e.nIndex1 = first;
    e.nIndex2 = second;
    CVelmiraDocAccess::EslesenList(*doc).push_back(e);
  }
};

// Five points over 400 by 300 m, one control point measured twice 5 cm east and 3 cm
// north apart (pair 100), a name an SVG must escape.
void FillSmall(Doc& d) {
  d.File(1, "30");
  d.File(2, "30");
  d.Point(1000, 1, 500000, 4400000, "A1");
  d.Point(1001, 2, 500400, 4400300, "B<&\"2");
  d.Point(1002, 1, 500200, 4400150, "KN");
  d.Point(1003, 2, 500200.05, 4400150.03, "KN");
  d.Point(1004, 1, 500100, 4400250, "\xC7\xDD\xDE");  // "ÇİŞ"
  d.Pair(100, 1002, 1003);
}

QPointF ScreenOf(const CHaritaView& view, int nIndex) {
  const auto dot = view.Model().DotOfIndex(nIndex);
  if (!dot) return {-1000, -1000};
  const ScreenPoint s = view.Viewport().ToScreen(view.Model().Dots()[*dot].At());
  return {s.sx, s.sy};
}

void Mouse(QWidget& w, QEvent::Type type, QPointF at, Qt::MouseButtons held) {
  QMouseEvent e(type, at, w.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(&w, &e);
}

QRgb Pixel(const QImage& image, QPointF at) {
  const double r = image.devicePixelRatio();
  return image.pixel(static_cast<int>(std::floor(at.x() * r)), static_cast<int>(std::floor(at.y() * r)));
}

bool IsWhite(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }
// A one-pixel line crosses some pixel of any 3 x 3 block it passes through nearly whole.
bool DarkNear(const QImage& image, QPointF at) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const QRgb c = Pixel(image, at + QPointF(dx, dy));
      if (qRed(c) < 120 && qGreen(c) < 120 && qBlue(c) < 120) return true;
    }
  }
  return false;
}

}  // namespace

class MapViewTest : public QObject {
  Q_OBJECT

 private:
  Doc d;
  std::unique_ptr<CHaritaView> view;

 private slots:
  void init() {
    d = {};
    d.doc = std::make_unique<CVelmiraDoc>(d.shell, std::filesystem::temp_directory_path() / "velmira-map-view-test-unused");
    FillSmall(d);
    view = std::make_unique<CHaritaView>();
    view->resize(500, 400);
    view->Refresh(*d.doc, d.findings);
  }
  void cleanup() { view.reset(); }

  void clickOrDrag_data() {
    QTest::addColumn<QPointF>("offset");   // press, from the dot
    QTest::addColumn<QPointF>("travel");   // from press to release
    QTest::addColumn<int>("clicked");      // nIndex, 0 for none
    QTest::newRow("on the dot") << QPointF(0, 0) << QPointF(0, 0) << 1001;
    QTest::newRow("5 px beside it") << QPointF(3, 4) << QPointF(0, 0) << 1001;
    QTest::newRow("8 px away") << QPointF(8, 0) << QPointF(0, 0) << 0;
    QTest::newRow("a hand's tremble") << QPointF(0, 0) << QPointF(2, 2) << 1001;
    QTest::newRow("a drag from the dot") << QPointF(0, 0) << QPointF(30, 12) << 0;
  }
  void clickOrDrag() {
    QFETCH(QPointF, offset);
    QFETCH(QPointF, travel);
    QFETCH(int, clicked);
    QSignalSpy spy(view.get(), &CHaritaView::PointClicked);
    const jobmap::MapViewport before = view->Viewport();
    const QPointF press = ScreenOf(*view, 1001) + offset;
    Mouse(*view, QEvent::MouseButtonPress, press, Qt::LeftButton);
    Mouse(*view, QEvent::MouseMove, press + travel / 2, Qt::LeftButton);
    Mouse(*view, QEvent::MouseMove, press + travel, Qt::LeftButton);
    Mouse(*view, QEvent::MouseButtonRelease, press + travel, Qt::NoButton);
    if (clicked == 0) {
      QCOMPARE(spy.count(), 0);
    } else {
      QCOMPARE(spy.count(), 1);
      QCOMPARE(spy.at(0).at(0).toInt(), clicked);
      QCOMPARE(spy.at(0).at(1).toInt(), 2);  // its file
    }
    if (travel.manhattanLength() > 10) {
      // The drag moved the map with the mouse: the ground under the press is now under the release.
      const GridPoint grabbed = before.ToGrid({press.x(), press.y()});
      const ScreenPoint now = view->Viewport().ToScreen(grabbed);
      QVERIFY(std::fabs(now.sx - (press + travel).x()) < 1e-6);
      QVERIFY(std::fabs(now.sy - (press + travel).y()) < 1e-6);
    }
  }

  void wheelZoomKeepsTheGroundUnderTheCursor() {
    for (const QPointF at : {QPointF(10, 20), QPointF(250, 200), QPointF(480, 390)}) {
      const GridPoint under = view->Viewport().ToGrid({at.x(), at.y()});
      const double scale = view->Viewport().PixelsPerMetre();
      for (int notches : {3, -1}) {
        QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.get(), &wheel);
      }
      QVERIFY(view->Viewport().PixelsPerMetre() > scale * 1.5);
      const ScreenPoint now = view->Viewport().ToScreen(under);
      QVERIFY2(std::fabs(now.sx - at.x()) < 1e-6 && std::fabs(now.sy - at.y()) < 1e-6, "the cursor's point moved");
    }
  }

  void keysZoomAndShowAll() {
    const double fitted = view->Viewport().PixelsPerMetre();
    QTest::keyClick(view.get(), Qt::Key_Plus);
    QCOMPARE(view->Viewport().PixelsPerMetre(), fitted * 2);
    QTest::keyClick(view.get(), Qt::Key_Minus);
    QTest::keyClick(view.get(), Qt::Key_Minus);
    QCOMPARE(view->Viewport().PixelsPerMetre(), fitted / 2);
    QTest::keyClick(view.get(), Qt::Key_Right);
    QTest::keyClick(view.get(), Qt::Key_Home);
    QCOMPARE(view->Viewport(), jobmap::MapViewport::Fit(view->Model().Bounds(), 500, 400, CHaritaView::kFitMarginPx));
  }

  void showAllFitsEveryDot() {
    view->ZoomIn();
    view->ZoomIn();
    view->ZoomIn();
    QTest::keyClick(view.get(), Qt::Key_Left);
    QVERIFY(ScreenOf(*view, 1000).x() < 0 || ScreenOf(*view, 1001).x() > 500);
    view->ShowAll();
    for (int n : {1000, 1001, 1002, 1003, 1004}) {
      const QPointF at = ScreenOf(*view, n);
      QVERIFY2(at.x() >= 20 && at.x() <= 480 && at.y() >= 20 && at.y() <= 380, qPrintable(QString::number(n)));
    }
    // And keeps doing so as the window changes size, until the user moves the map.
    view->resize(300, 700);
    QVERIFY(ScreenOf(*view, 1001).x() <= 300);
  }

  void refreshKeepsTheViewWhileThePointsStay() {
    view->ZoomIn();
    const jobmap::MapViewport zoomed = view->Viewport();
    d.findings.push_back([] {
      Finding f;
      f.target = Finding::Target::Pair;
      f.nIndex = 100;
      return f;
    }());
    view->Refresh(*d.doc, d.findings);
    QCOMPARE(view->Viewport(), zoomed);
    QVERIFY(view->Model().Links().at(0).failing);
    d.Point(1005, 1, 503000, 4400000);
    view->Refresh(*d.doc, d.findings);
    QVERIFY(ScreenOf(*view, 1005).x() <= 500);
  }

  void marksChangeThePixelsAtTheirDots_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("nIndex");
    QTest::addColumn<double>("probe");  // pixels right of the dot's centre
    QTest::newRow("selected point: a dark outline") << "selected" << 1000 << 6.5;
    QTest::newRow("ticked point: a ring") << "ticked" << 1004 << 9.5;
    QTest::newRow("selected pair: first dot") << "pair" << 1002 << 6.5;
    QTest::newRow("selected pair: second dot") << "pair" << 1003 << 6.5;
  }
  void marksChangeThePixelsAtTheirDots() {
    QFETCH(QString, what);
    QFETCH(int, nIndex);
    QFETCH(double, probe);
    view->resize(500, 400);
    view->SetMagnification(1);  // keep the vector off the probe
    const QImage plain = view->RenderImage();
    if (what == "selected") view->SetSelectedPoints({nIndex});
    if (what == "ticked") view->SetTickedPoints({nIndex});
    if (what == "pair") view->SetSelectedPairs({100});
    const QImage marked = view->RenderImage();
    const QPointF at = ScreenOf(*view, nIndex) + QPointF(probe, 0);
    QVERIFY(IsWhite(Pixel(plain, at)));
    QVERIFY2(!IsWhite(Pixel(marked, at)), qPrintable(QColor(Pixel(marked, at)).name()));
    // Unknown keys and clearing leave the picture as it was.
    view->SetSelectedPoints({424242});
    view->SetTickedPoints({});
    view->SetSelectedPairs({777});
    QCOMPARE(view->RenderImage(), plain);
  }

  void magnificationMovesTheVectorsEnd() {
    // Zoomed on the control point so that 5.8 cm x 1000 is some 200 px.
    view->ShowAll();
    for (int i = 0; i < 2; ++i) view->ZoomIn();
    const QPointF from = ScreenOf(*view, 1002);
    const QPointF dir(0.05, -0.03);  // east on screen is +x, north is -y
    const double ppm = view->Viewport().PixelsPerMetre();
    auto along = [&](double metres) { return from + dir / std::hypot(0.05, 0.03) * metres * ppm; };
    const double vectorM = std::hypot(0.05, 0.03);
    view->SetMagnification(1000);
    QImage image = view->RenderImage();
    QVERIFY(vectorM * 1000 * ppm > 150);
    QVERIFY(DarkNear(image, along(vectorM * 1000 * 0.5)));
    QVERIFY(DarkNear(image, along(vectorM * 1000 * 0.9)));
    QVERIFY(IsWhite(Pixel(image, along(vectorM * 1000 * 1.1))));
    view->SetMagnification(400);
    image = view->RenderImage();
    QVERIFY(DarkNear(image, along(vectorM * 400 * 0.5)));
    QVERIFY(IsWhite(Pixel(image, along(vectorM * 1000 * 0.9))));
    view->SetMagnification(std::nan(""));
    QCOMPARE(view->Magnification(), 400.0);
    view->SetMagnification(1e12);
    QCOMPARE(view->Magnification(), CHaritaView::kMostMagnification);
  }

  void namesOnlyWhereTheyFit() {
    auto names = [&] {
      QStringList out;
      for (const drawing::Mark& m : view->CurrentDrawing().marks) {
        if (m.kind == drawing::Mark::Kind::Text && m.keyKind == drawing::KeyKind::Point) out << QString::fromStdString(m.text);
      }
      return out;
    };
    QStringList shown = names();
    shown.sort();
    // The two sessions of KN share one label.
    QCOMPARE(shown, (QStringList{"A1", "B<&\"2", "KN", "ÇİŞ"}));
    // Crowds are not labelled.
    for (int i = 0; i < 500; ++i) d.Point(2000 + i, 1, 500000 + (i % 25) * 16, 4400000 + (i / 25) * 15);
    view->Refresh(*d.doc, d.findings);
    QVERIFY(names().isEmpty());
  }

  void savedPicturesReadBack() {
    d.findings.push_back([] {
      Finding f;
      f.target = Finding::Target::Point;
      f.nIndex = 1004;
      f.nFileNumber = 1;
      return f;
    }());
    view->Refresh(*d.doc, d.findings);
    view->SetSelectedPoints({1001});
    view->SetTickedPoints({1000});
    const drawing::Drawing drawing = view->CurrentDrawing();
    QCOMPARE(drawing.width, 500.0);
    QCOMPARE(drawing.height, 400.0 + 24);  // and the legend strip below
    QStringList texts;
    for (const drawing::Mark& m : drawing.marks) texts << QString::fromStdString(m.text);
    QVERIFY(texts.contains("j1.tsj") && texts.contains("j2.tsj") && texts.contains("Hatalı"));
    int dots = 0;
    bool zone = false;
    for (const drawing::Mark& m : drawing.marks) {
      dots += m.kind == drawing::Mark::Kind::Circle && m.keyKind == drawing::KeyKind::Point && m.radius < 5;
      zone = zone || m.text == "TM30";
    }
    QCOMPARE(dots, 5);
    QVERIFY(zone);

    QTemporaryDir dir;
    const QString svg = dir.filePath("harita.svg");
    std::ofstream(svg.toStdString()) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" << SvgOf(drawing);
#ifndef _WIN32  // xmllint is a Linux program: the Linux build reads the same SVG
    QProcess lint;
    lint.start("xmllint", {"--noout", svg});
    QVERIFY(lint.waitForFinished(20000));
    QCOMPARE(lint.exitCode(), 0);
    QVERIFY2(lint.readAllStandardError().isEmpty(), "xmllint complained");
#endif

    const QImage shown = view->RenderImage();
    const QString png = dir.filePath("harita.png");
    QVERIFY(shown.save(png));
    const QImage back(png);
    QCOMPARE(back.size(), shown.size());
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
  }

  void onlyVisibleDotsAreDrawn() {
    for (int i = 0; i < 4; ++i) view->ZoomIn();
    int inside = 0;
    for (int n : {1000, 1001, 1002, 1003, 1004}) {
      const QPointF at = ScreenOf(*view, n);
      inside += at.x() > -5 && at.x() < 505 && at.y() > -5 && at.y() < 405;
    }
    int dots = 0;
    for (const drawing::Mark& m : view->CurrentDrawing().marks) {
      dots += m.kind == drawing::Mark::Kind::Circle && m.keyKind == drawing::KeyKind::Point && m.radius < 5;
    }
    QCOMPARE(dots, inside);
    QVERIFY(inside < 5);
  }

  void emptyDocumentShowsANote() {
    Doc empty;
    CHaritaView v;
    v.resize(300, 200);
    v.Refresh(*empty.doc, {});
    QVERIFY(v.Zones().empty());
    bool note = false;
    for (const drawing::Mark& m : v.CurrentDrawing().marks) note = note || m.text == "Yüklü nokta yok.";
    QVERIFY(note);
    const QImage image = v.RenderImage();
    bool inked = false;
    for (int x = 60; x < 240; ++x) inked = inked || !IsWhite(image.pixel(x, 95));
    QVERIFY(inked);
    // Nothing to click, zoom or fit breaks it.
    QSignalSpy spy(&v, &CHaritaView::PointClicked);
    Mouse(v, QEvent::MouseButtonPress, {150, 100}, Qt::LeftButton);
    Mouse(v, QEvent::MouseButtonRelease, {150, 100}, Qt::NoButton);
    v.ZoomIn();
    v.ShowAll();
    QCOMPARE(spy.count(), 0);
  }

  // Points a job file holds damaged (no number, or light-years away) are left off the
  // map without squashing the rest into a pixel.
  void damagedPositionsAreLeftOut() {
    d.Point(1100, 1, std::nan(""), 4400000);
    d.Point(1101, 1, 1e300, 4400000);
    d.Point(1102, 1, 500000, -std::numeric_limits<double>::infinity());
    view->Refresh(*d.doc, d.findings);
    QCOMPARE(view->Model().Dots().size(), std::size_t{5});
    QVERIFY(view->Viewport().PixelsPerMetre() > 0.5);
    QVERIFY(!view->RenderImage().isNull());
  }

  void paneChoosesZoneAndMagnification() {
    d.Point(3000, 1, 400000, 4500000, "Z", "33");
    d.Point(3001, 1, 400500, 4500500, "Z2", "33");
    CHaritaPane pane;
    pane.resize(600, 500);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QVERIFY(pane.ZoneBox()->isHidden());
    QCOMPARE(pane.MagnificationBox()->value(), 1000);
    QCOMPARE(pane.MagnificationBox()->suffix(), QString("×"));
    pane.Map()->Refresh(*d.doc, d.findings);
    QVERIFY(pane.ZoneBox()->isVisible());
    QCOMPARE(pane.ZoneBox()->count(), 2);
    QCOMPARE(pane.ZoneBox()->itemText(0), QString("TM30"));
    QCOMPARE(pane.Map()->Zone(), std::string("30"));
    QCOMPARE(pane.Map()->Model().Dots().size(), std::size_t{5});
    pane.ZoneBox()->setCurrentIndex(1);
    emit pane.ZoneBox()->activated(1);
    QCOMPARE(pane.Map()->Zone(), std::string("33"));
    QCOMPARE(pane.Map()->Model().Dots().size(), std::size_t{2});
    QVERIFY(pane.LegendLabel()->text().contains("j1.tsj"));
    pane.MagnificationBox()->setValue(250);
    QCOMPARE(pane.Map()->Magnification(), 250.0);
    // The zone shown goes away: the first one left takes its place and the combo hides.
    CVelmiraDocAccess::NoktaList(*d.doc).resize(5);
    pane.Map()->Refresh(*d.doc, d.findings);
    QCOMPARE(pane.Map()->Zone(), std::string("30"));
    QVERIFY(pane.ZoneBox()->isHidden());
  }
};

QTEST_MAIN(MapViewTest)
#include "map_test.moc"
