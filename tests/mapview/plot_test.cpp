// The plots on the screen and in picture files: the painter puts each mark where and as the
// drawing says (sampled pixels), the hit test finds the keyed mark on top, the Farklar view
// shows the report's own drawings and maps clicks back through its painting transform,
// and saved pictures are readable by independent readers or refused without harm.
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>

#include <cmath>
#include <filesystem>
#include <limits>

#include "DrawingFixture.h"
#include "delivery/Report.h"
#include "drawing/Plots.h"
#include "mapview/CFarklarView.h"
#include "mapview/DrawingPainter.h"
#include "mapview/Pictures.h"
#include "support/Oracles.h"
#include "support/QtOracle.h"

namespace fs = std::filesystem;
using drawing::KeyKind;
using drawing::Mark;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const QColor kWhite(255, 255, 255);
constexpr drawing::Rgb kRed{200, 30, 40}, kBlue{20, 60, 200}, kGreen{20, 160, 60};

QColor Q(drawing::Rgb c) { return QColor(c.r, c.g, c.b); }

Mark Shape(Mark::Kind kind, std::vector<drawing::Point> points, std::optional<drawing::Pen> pen,
           std::optional<drawing::Rgb> fill, double radius = 0) {
  Mark m;
  m.kind = kind;
  m.points = std::move(points);
  m.pen = pen;
  m.fill = fill;
  m.radius = radius;
  return m;
}

Mark Text(drawing::Point at, const char* text, drawing::Anchor anchor, double size) {
  Mark m;
  m.kind = Mark::Kind::Text;
  m.points = {at};
  m.text = text;
  m.anchor = anchor;
  m.fontSize = size;
  m.fill = drawing::Rgb{0, 0, 0};
  return m;
}

Mark Keyed(Mark m, KeyKind kind, int key) {
  m.keyKind = kind;
  m.key = key;
  return m;
}

drawing::Drawing Picture(std::vector<Mark> marks, double width = 200, double height = 100) {
  return drawing::Drawing{width, height, "deneme", std::move(marks)};
}

bool Near(QColor a, QColor b, int slack = 8) {
  return std::abs(a.red() - b.red()) <= slack && std::abs(a.green() - b.green()) <= slack &&
         std::abs(a.blue() - b.blue()) <= slack;
}

// The columns (or rows) holding any ink darker than a light grey, within a band.
struct Ink {
  int left = -1, right = -1, bottom = -1;
};

Ink InkIn(const QImage& image, QRect band) {
  Ink ink;
  for (int y = band.top(); y <= band.bottom(); ++y) {
    for (int x = band.left(); x <= band.right(); ++x) {
      if (qGray(image.pixel(x, y)) > 160) continue;
      if (ink.left < 0 || x < ink.left) ink.left = x;
      ink.right = std::max(ink.right, x);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

// The middle of a mark's extent, in drawing pixels.
QPointF CentreOf(const Mark& m) {
  if (m.kind == Mark::Kind::Circle) return {m.points[0].x, m.points[0].y};
  double l = m.points[0].x, r = l, t = m.points[0].y, b = t;
  for (const drawing::Point& p : m.points) {
    l = std::min(l, p.x), r = std::max(r, p.x), t = std::min(t, p.y), b = std::max(b, p.y);
  }
  return {(l + r) / 2, (t + b) / 2};
}

const Mark* PairMark(const drawing::Drawing& d, int nPairNo, Mark::Kind kind) {
  for (const Mark& m : d.marks) {
    if (m.keyKind == KeyKind::Pair && m.key == nPairNo && m.kind == kind) return &m;
  }
  return nullptr;
}

// The dot (or, beyond the frame, the diamond) of a pair on the difference plot.
const Mark* DotOf(const drawing::Drawing& d, int nPairNo) {
  const Mark* m = PairMark(d, nPairNo, Mark::Kind::Circle);
  return m ? m : PairMark(d, nPairNo, Mark::Kind::Polygon);
}

std::string ReadAll(const fs::path& path) { return ReadBytes(path); }

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The realistic job of the delivery tests: 14 pairs, three of them failing under the
// network profile.
struct Job {
  DocFixture f;
  RuleProfile profile = NetworkProfile();
  std::vector<Finding> findings;
  Job() {
    FillRealisticJob(f);
    findings = CheckRules(*f.doc, profile);
  }
};

}  // namespace

class PlotTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- the painter --------------------------------------------------------------------

  // Each row: a few marks, and pixels with the colour they must have afterwards.
  void paintsMarksWhereTheDrawingSays_data() {
    QTest::addColumn<int>("row");
    const char* rows[] = {"filled rect",     "rect from its bottom-right corner", "circle",
                          "ring without fill", "polyline never filled",           "polygon fills by nonzero winding",
                          "pen of width 0 paints nothing", "mark with a coordinate not a number is left out",
                          "circle of radius 0 paints nothing"};
    int i = 0;
    for (const char* name : rows) QTest::newRow(name) << i++;
  }

  void paintsMarksWhereTheDrawingSays() {
    QFETCH(int, row);
    std::vector<Mark> marks;
    std::vector<std::pair<QPoint, QColor>> expect;
    switch (row) {
      case 0:
        marks = {Shape(Mark::Kind::Rect, {{10, 10}, {40, 30}}, std::nullopt, kRed)};
        expect = {{{25, 20}, Q(kRed)}, {{11, 11}, Q(kRed)}, {{45, 20}, kWhite}, {{25, 32}, kWhite}};
        break;
      case 1:
        marks = {Shape(Mark::Kind::Rect, {{40, 30}, {10, 10}}, std::nullopt, kRed)};
        expect = {{{25, 20}, Q(kRed)}, {{45, 20}, kWhite}};
        break;
      case 2:
        marks = {Shape(Mark::Kind::Circle, {{50, 50}}, std::nullopt, kBlue, 10)};
        expect = {{{50, 50}, Q(kBlue)}, {{50, 42}, Q(kBlue)}, {{50, 63}, kWhite}, {{58, 58}, kWhite}};
        break;
      case 3:
        marks = {Shape(Mark::Kind::Circle, {{50, 50}}, drawing::Pen{kGreen, 3}, std::nullopt, 10)};
        expect = {{{50, 50}, kWhite}, {{60, 50}, Q(kGreen)}, {{50, 40}, Q(kGreen)}};
        break;
      case 4:
        marks = {Shape(Mark::Kind::Polyline, {{10, 10}, {90, 10}, {50, 90}}, drawing::Pen{kGreen, 3}, kRed)};
        expect = {{{50, 30}, kWhite}, {{50, 10}, Q(kGreen)}};
        break;
      case 5:  // a five-pointed star: odd-even filling would leave its middle empty
        marks = {Shape(Mark::Kind::Polygon, {{50, 5}, {77, 90}, {5, 37}, {95, 37}, {23, 90}}, std::nullopt, kBlue)};
        expect = {{{50, 50}, Q(kBlue)}, {{50, 20}, Q(kBlue)}, {{5, 90}, kWhite}};
        break;
      case 6:  // a zero-width pen is no stroke in SVG, where Qt would draw a hairline
        marks = {Shape(Mark::Kind::Line, {{10, 50}, {190, 50}}, drawing::Pen{kRed, 0}, std::nullopt)};
        expect = {{{100, 50}, kWhite}, {{100, 49}, kWhite}};
        break;
      case 7:
        marks = {Shape(Mark::Kind::Rect, {{kNaN, 10}, {40, 30}}, std::nullopt, kRed),
                 Shape(Mark::Kind::Rect, {{60, 10}, {90, 30}}, std::nullopt, kBlue)};
        expect = {{{25, 20}, kWhite}, {{75, 20}, Q(kBlue)}};
        break;
      case 8:
        marks = {Shape(Mark::Kind::Circle, {{50, 50}}, drawing::Pen{kRed, 2}, kRed, 0)};
        expect = {{{50, 50}, kWhite}};
        break;
    }
    const QImage image = RenderDrawing(Picture(marks), 1);
    QCOMPARE(image.size(), QSize(200, 100));
    for (const auto& [at, colour] : expect) {
      QVERIFY2(Near(image.pixelColor(at), colour),
               qPrintable(QString("(%1,%2) is %3, expected %4")
                              .arg(at.x()).arg(at.y()).arg(image.pixelColor(at).name(), colour.name())));
    }
  }

  // A dashed line: dashes of 4 and gaps of 3 pen widths, never under 1 px, from the start.
  void dashedLineHasGaps_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("unit");  // pixels per dash unit
    QTest::newRow("1 px") << 1.0 << 1.0;
    QTest::newRow("2 px") << 2.0 << 2.0;
    QTest::newRow("half a pixel counts as 1") << 0.5 << 1.0;
  }

  void dashedLineHasGaps() {
    QFETCH(double, width);
    QFETCH(double, unit);
    const drawing::Drawing d =
        Picture({Shape(Mark::Kind::Line, {{10, 20.5}, {190, 20.5}}, drawing::Pen{{0, 0, 0}, width, true}, std::nullopt)});
    const QImage image = RenderDrawing(d, 1);
    const double period = 7 * unit;
    for (int k = 0; k < 4; ++k) {
      const double start = 10 + k * period;
      const int inDash = static_cast<int>(start + 2 * unit), inGap = static_cast<int>(start + 5.5 * unit);
      QVERIFY2(qGray(image.pixel(inDash, 20)) < 200, qPrintable(QString("dash %1 missing at x=%2").arg(k).arg(inDash)));
      QCOMPARE(image.pixelColor(inGap, 20), kWhite);
    }
  }

  // Text ends, centres or starts on its point by its measured width, on its baseline, at
  // any scale.
  void textAnchors_data() {
    QTest::addColumn<int>("anchor");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("scale");
    QTest::newRow("end") << int(drawing::Anchor::End) << 20.0 << 1.0;
    QTest::newRow("middle") << int(drawing::Anchor::Middle) << 20.0 << 1.0;
    QTest::newRow("start") << int(drawing::Anchor::Start) << 20.0 << 1.0;
    QTest::newRow("end at twice the size") << int(drawing::Anchor::End) << 11.0 << 2.0;
    QTest::newRow("end at a fractional size") << int(drawing::Anchor::End) << 13.5 << 1.0;
  }

  void textAnchors() {
    QFETCH(int, anchor);
    QFETCH(double, size);
    QFETCH(double, scale);
    const drawing::Drawing d = Picture({Text({100, 60}, "HEMEH", drawing::Anchor(anchor), size)});
    const QImage image = RenderDrawing(d, scale);
    const Ink ink = InkIn(image, image.rect());
    QVERIFY(ink.left >= 0);
    const double point = 100 * scale, slack = 2 * scale;
    switch (drawing::Anchor(anchor)) {
      case drawing::Anchor::End: QVERIFY2(std::abs(ink.right + 1 - point) <= slack, qPrintable(QString::number(ink.right))); break;
      case drawing::Anchor::Start: QVERIFY2(std::abs(ink.left - point) <= slack, qPrintable(QString::number(ink.left))); break;
      case drawing::Anchor::Middle:
        QVERIFY2(std::abs((ink.left + ink.right + 1) / 2.0 - point) <= slack, qPrintable(QString::number(ink.left)));
        break;
    }
    // Capitals sit on the baseline.
    QVERIFY2(std::abs(ink.bottom + 1 - 60 * scale) <= scale + 0.5, qPrintable(QString::number(ink.bottom)));
    // The glyphs are about as tall as the size says: a cap height of 0.6 to 0.8 em.
    const Ink top = InkIn(image, QRect(0, 0, image.width(), static_cast<int>(60 * scale - 0.6 * size * scale)));
    QVERIFY(top.left >= 0);
    const Ink above = InkIn(image, QRect(0, 0, image.width(), static_cast<int>(60 * scale - 0.8 * size * scale)));
    QCOMPARE(above.left, -1);
  }

  // Marks far beyond the picture, huge sizes and a dashed line a million kilometres long
  // are painted (or left out) without hanging or crashing.
  void absurdMarksAreHarmless() {
    Mark text = Text({10, 50}, "dev", drawing::Anchor::Start, 1e9);
    Mark tiny = Text({10, 50}, "küçük", drawing::Anchor::Middle, 1e-9);
    const drawing::Drawing d = Picture({
        Shape(Mark::Kind::Circle, {{50, 50}}, drawing::Pen{kRed, 1}, kBlue, 1e300),
        Shape(Mark::Kind::Line, {{-1e12, 50}, {1e12, 50}}, drawing::Pen{kRed, 1.5, true}, std::nullopt),
        Shape(Mark::Kind::Polygon, {{0, 0}, {1e200, 0}, {0, -1e200}}, drawing::Pen{kRed, 1e6, true}, kBlue),
        Shape(Mark::Kind::Rect, {{-1e308, -1e308}, {1e308, 1e308}}, drawing::Pen{kRed, 2, true}, std::nullopt),
        Shape(Mark::Kind::Line, {{0, 0}, {100, std::numeric_limits<double>::infinity()}}, drawing::Pen{kRed, 1}, {}),
        text, tiny,
        Shape(Mark::Kind::Rect, {{150, 80}, {160, 90}}, std::nullopt, kGreen),
    });
    const QImage image = RenderDrawing(d, 1);
    QVERIFY(!image.isNull());
    QCOMPARE(image.pixelColor(155, 85), Q(kGreen));  // the marks after them still paint
    QVERIFY(KeyedMarkAt(d, QPointF(1e300, -1e300), 1e300) == nullptr);
  }

  // ---- hit testing --------------------------------------------------------------------

  void keyedMarkAt_data() {
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<int>("key");  // -1: nothing
    QTest::newRow("overlap: the topmost") << QPointF(52, 50) << 3.0 << 2;
    QTest::newRow("inside the lower beats near the upper") << QPointF(47, 50) << 5.0 << 1;
    QTest::newRow("near: within tolerance") << QPointF(50, 57) << 3.0 << 1;
    QTest::newRow("near: the nearer of two") << QPointF(52, 43) << 3.0 << 1;
    QTest::newRow("beyond tolerance") << QPointF(50, 70) << 3.0 << -1;
    QTest::newRow("on the stroke of a ring") << QPointF(120, 58) << 0.0 << 5;
    QTest::newRow("inside an unfilled ring") << QPointF(120, 50) << 0.0 << 5;
    QTest::newRow("line by its distance") << QPointF(140, 12) << 3.0 << 4;
    QTest::newRow("line: too far") << QPointF(140, 16) << 3.0 << -1;
    QTest::newRow("point key on a column") << QPointF(175, 80) << 0.0 << 7;
    QTest::newRow("furniture ignored") << QPointF(10, 90) << 3.0 << -1;
    QTest::newRow("keyed text ignored") << QPointF(102, 88) << 3.0 << -1;
    QTest::newRow("not a number") << QPointF(kNaN, 50) << 3.0 << -1;
    QTest::newRow("negative tolerance counts as 0") << QPointF(50, 57) << -5.0 << -1;
    QTest::newRow("tolerance not a number counts as 0") << QPointF(50, 57) << kNaN << -1;
  }

  void keyedMarkAt() {
    QFETCH(QPointF, at);
    QFETCH(double, tolerance);
    QFETCH(int, key);
    const drawing::Drawing d = Picture({
        Shape(Mark::Kind::Rect, {{0, 0}, {200, 100}}, std::nullopt, drawing::Rgb{255, 255, 255}),
        Keyed(Shape(Mark::Kind::Circle, {{50, 50}}, drawing::Pen{{255, 255, 255}, 1}, kBlue, 5),
              KeyKind::Pair, 1),
        Keyed(Shape(Mark::Kind::Circle, {{56, 50}}, std::nullopt, kRed, 5), KeyKind::Pair, 2),
        Keyed(Shape(Mark::Kind::Line, {{100, 10}, {180, 10}}, drawing::Pen{kGreen, 1}, std::nullopt), KeyKind::Pair, 4),
        Keyed(Shape(Mark::Kind::Circle, {{120, 50}}, drawing::Pen{kGreen, 2}, std::nullopt, 8), KeyKind::Pair, 5),
        Keyed(Shape(Mark::Kind::Rect, {{170, 60}, {180, 95}}, std::nullopt, kBlue), KeyKind::Point, 7),
        Keyed(Text({100, 90}, "103", drawing::Anchor::Start, 12), KeyKind::Pair, 9),
    });
    const Mark* hit = KeyedMarkAt(d, at, tolerance);
    QCOMPARE(hit ? hit->key : -1, key);
  }

  // ---- the Farklar view ---------------------------------------------------------------

  // The screen and the report draw the same pictures: the view's drawings are the
  // report's, byte for byte once written as SVG, and the page holds them.
  void viewDrawsTheReportsPlots_data() {
    QTest::addColumn<bool>("network");
    QTest::newRow("network profile") << true;
    QTest::newRow("classic profile") << false;
  }

  void viewDrawsTheReportsPlots() {
    QFETCH(bool, network);
    Job job;
    if (!network) {
      job.profile = ClassicProfile();
      job.findings = CheckRules(*job.f.doc, job.profile);
    }
    CFarklarView view;
    view.Refresh(*job.f.doc, job.profile, job.findings);
    QVERIFY(view.HasPairs());
    const std::vector<PairDifference> pairs = PairDifferencesOf(*job.f.doc, job.findings);
    QCOMPARE(view.Pairs().size(), pairs.size());
    QCOMPARE(SvgOf(view.DifferenceDrawing()), SvgOf(DifferencePlot(pairs, job.profile)));
    QCOMPARE(SvgOf(view.HeightTimeDrawing()), SvgOf(HeightTimePlot(pairs, job.profile)));
    const std::string page = ReportHtml(*job.f.doc, job.profile, job.findings);
    QVERIFY(page.find(SvgOf(view.DifferenceDrawing())) != std::string::npos);
    QVERIFY(page.find(SvgOf(view.HeightTimeDrawing())) != std::string::npos);
    // The failing pairs are there to see: red dots.
    QVERIFY(std::any_of(view.DifferenceDrawing().marks.begin(), view.DifferenceDrawing().marks.end(),
                        [](const Mark& m) { return m.keyKind == KeyKind::Pair && m.fill == kFailRed; }));
  }

  // A left click on a dot or a column names its pair, wherever the layout put the plots;
  // empty space, the frame's furniture and other buttons name nothing.
  void clickNamesThePair_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("sideBySide");
    QTest::newRow("wide: side by side") << QSize(1400, 560) << true;
    QTest::newRow("narrow: stacked") << QSize(520, 1100) << false;
    QTest::newRow("small") << QSize(300, 200) << true;
  }

  void clickNamesThePair() {
    QFETCH(QSize, size);
    QFETCH(bool, sideBySide);
    Job job;
    CFarklarView view;
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.Refresh(*job.f.doc, job.profile, job.findings);
    const QTransform diff = view.PlotTransform(CFarklarView::kDifferencePlot);
    const QTransform columns = view.PlotTransform(CFarklarView::kHeightTimePlot);
    const QPointF a = diff.map(QPointF(0, 0)), b = columns.map(QPointF(0, 0));
    QVERIFY(sideBySide ? b.x() > a.x() : b.y() > a.y());
    QVERIFY(view.rect().contains(diff.map(QPointF(640, 640)).toPoint() - QPoint(1, 1)));

    QSignalSpy clicked(&view, &CFarklarView::PairClicked);
    auto click = [&](QPointF at, Qt::MouseButton button = Qt::LeftButton) {
      clicked.clear();
      QTest::mouseClick(&view, button, {}, at.toPoint());
      return clicked.isEmpty() ? -1 : clicked.takeFirst().at(0).toInt();
    };
    // The failing pairs stand apart from the rest on the difference plot.
    for (int nPairNo : {103, 109}) {
      const Mark* dot = DotOf(view.DifferenceDrawing(), nPairNo);
      QVERIFY(dot);
      QCOMPARE(click(diff.map(CentreOf(*dot))), nPairNo);
    }
    // Every column of both panels.
    // Every column of both panels; one of no height (pair 107, |Δh| = 0) paints nothing
    // and is no target.
    int columnsClicked = 0;
    for (const Mark& m : view.HeightTimeDrawing().marks) {
      if (m.keyKind != KeyKind::Pair || m.kind != Mark::Kind::Rect) continue;
      const bool flat = m.points[0].y == m.points[1].y;
      QCOMPARE(click(columns.map(CentreOf(m))), flat ? -1 : m.key);
      columnsClicked += !flat;
    }
    QCOMPARE(columnsClicked, 2 * 14 - 1);
    QCOMPARE(click(QPointF(2, 2)), -1);                              // the margin
    QCOMPARE(click(diff.map(QPointF(85, 65))), -1);                  // inside the frame, no dot near
    QCOMPARE(click(diff.map(QPointF(320, 26))), -1);                 // the title
    const Mark* dot = DotOf(view.DifferenceDrawing(), 103);
    QCOMPARE(click(diff.map(CentreOf(*dot)), Qt::RightButton), -1);  // not the left button
  }

  // Hovering a pair tells its name, its differences in centimetres (never "-0.0") and
  // whether it fails; empty space tells nothing.
  void toolTipDescribesThePair_data() {
    QTest::addColumn<int>("nPairNo");
    QTest::addColumn<QString>("text");
    QTest::newRow("failing, a tiny negative") << 7 << QString::fromUtf8(
        "Eşleşme 7: Ç1\nΔY 0.0 cm, ΔX 2.5 cm, Δh 12.3 cm\nOturumlar arası 1.50 saat\nHatalı");
    QTest::newRow("passing, south and lower") << 8 << QString::fromUtf8(
        "Eşleşme 8: K2\nΔY 3.0 cm, ΔX -2.0 cm, Δh -1.0 cm\nOturumlar arası 2.25 saat");
  }

  void toolTipDescribesThePair() {
    QFETCH(int, nPairNo);
    QFETCH(QString, text);
    DocFixture f;
    const double t0 = 1719500000;
    const CTarvekNokta a = MakePoint(1, 1, "\xC7" "1", 500000, 4400000, 850, t0);
    const CTarvekNokta b = MakePoint(2, 1, "\xC7" "1", 500000 - 0.0004, 4400000.0251, 850.1234, t0 + 5400);
    const CTarvekNokta c = MakePoint(3, 1, "K2", 500100, 4400100, 850, t0);
    const CTarvekNokta d = MakePoint(4, 1, "K2", 500100.03, 4400099.98, 849.99, t0 + 8100);
    f.Points() = {a, b, c, d};
    f.Pairs() = {MakePair(7, a, b), MakePair(8, c, d)};
    const RuleProfile profile = NetworkProfile();
    CFarklarView view;
    view.resize(1400, 560);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.Refresh(*f.doc, profile, CheckRules(*f.doc, profile));
    const QPoint at = view.PlotTransform(CFarklarView::kDifferencePlot)
                          .map(CentreOf(*DotOf(view.DifferenceDrawing(), nPairNo)))
                          .toPoint();
    QHelpEvent over(QEvent::ToolTip, at, view.mapToGlobal(at));
    QApplication::sendEvent(&view, &over);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), text);
    QHelpEvent away(QEvent::ToolTip, QPoint(2, 2), view.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&view, &away);
    QTRY_VERIFY(!QToolTip::isVisible());
  }

  void noPairsSaysSoAndClicksNameNothing() {
    DocFixture f;
    CFarklarView view;
    view.resize(800, 400);
    QSignalSpy clicked(&view, &CFarklarView::PairClicked);
    for (int refreshed = 0; refreshed < 2; ++refreshed) {
      if (refreshed) view.Refresh(*f.doc, NetworkProfile(), {});
      QVERIFY(!view.HasPairs());
      QCOMPARE(view.PlotTransform(CFarklarView::kDifferencePlot), QTransform());
      const QImage shown = view.grab().toImage();
      QVERIFY(InkIn(shown, QRect(300, 180, 200, 40)).left >= 0);  // the note in the middle
      for (int x = 0; x < 800; x += 25) QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(x, 200));
      QCOMPARE(clicked.count(), 0);
    }
    QCOMPARE(view.RenderImage(7).isNull(), true);
  }

  // Selected pairs are ringed on the dots and framed on the columns, on top of the plot;
  // everything else stays as it was, and clearing the selection restores the picture.
  void selectionMarksThePairs() {
    Job job;
    CFarklarView view;
    view.resize(1400, 560);
    view.Refresh(*job.f.doc, job.profile, job.findings);
    const QImage before = view.grab().toImage();
    view.SetSelectedPairs({103, 4242});
    QCOMPARE(view.SelectedPairs(), (std::set<int>{103, 4242}));
    const QImage after = view.grab().toImage();

    const QTransform diff = view.PlotTransform(CFarklarView::kDifferencePlot);
    const QTransform columns = view.PlotTransform(CFarklarView::kHeightTimePlot);
    auto changedAround = [&](QPointF centre, int reach) {
      int changed = 0;
      const QPoint c = centre.toPoint();
      for (int y = c.y() - reach; y <= c.y() + reach; ++y) {
        for (int x = c.x() - reach; x <= c.x() + reach; ++x) changed += before.pixel(x, y) != after.pixel(x, y);
      }
      return changed;
    };
    const double s = diff.m11();
    const int ring = static_cast<int>(std::ceil(10 * s)) + 2;
    QVERIFY(changedAround(diff.map(CentreOf(*DotOf(view.DifferenceDrawing(), 103))), ring) > 10);
    QCOMPARE(changedAround(diff.map(CentreOf(*DotOf(view.DifferenceDrawing(), 109))), ring), 0);
    // The dot keeps its colour inside the ring.
    QCOMPARE(after.pixelColor(diff.map(CentreOf(*DotOf(view.DifferenceDrawing(), 103))).toPoint()),
             before.pixelColor(diff.map(CentreOf(*DotOf(view.DifferenceDrawing(), 103))).toPoint()));
    const Mark* column = PairMark(view.HeightTimeDrawing(), 103, Mark::Kind::Rect);
    const Mark* other = PairMark(view.HeightTimeDrawing(), 106, Mark::Kind::Rect);
    const QRectF shown = columns.mapRect(QRectF(column->points[0].x, column->points[0].y,
                                                column->points[1].x - column->points[0].x,
                                                column->points[1].y - column->points[0].y));
    QVERIFY(changedAround(QPointF(shown.left() - 1, shown.center().y()), 2) > 0);
    QCOMPARE(changedAround(columns.map(CentreOf(*other)), 3), 0);

    view.SetSelectedPairs({});
    QCOMPARE(view.grab().toImage(), before);
  }

  // What the view saves or copies is the report's picture, without the selection.
  void renderImageIsThePlotAlone() {
    Job job;
    CFarklarView view;
    view.Refresh(*job.f.doc, job.profile, job.findings);
    const QImage plain = view.RenderImage(CFarklarView::kDifferencePlot);
    view.SetSelectedPairs({103});
    QCOMPARE(view.RenderImage(CFarklarView::kDifferencePlot), plain);
    QCOMPARE(plain.size(), QSize(1280, 1280));
    const QPointF dot = CentreOf(*DotOf(view.DifferenceDrawing(), 103)) * 2;
    QVERIFY(Near(plain.pixelColor(dot.toPoint()), Q(kFailRed)));
    QCOMPARE(view.RenderImage(CFarklarView::kHeightTimePlot).size(), QSize(1600, 1040));
  }

  // ---- pictures -----------------------------------------------------------------------

  void sideBySide() {
    Job job;
    CFarklarView view;
    view.Refresh(*job.f.doc, job.profile, job.findings);
    const drawing::Drawing both = view.CombinedDrawing();
    QCOMPARE(both.width, 640.0 + 800.0);
    QCOMPARE(both.height, 640.0);
    const QImage image = RenderDrawing(both, 1);
    const QPointF dot = CentreOf(*DotOf(view.DifferenceDrawing(), 103));
    QVERIFY(Near(image.pixelColor(dot.toPoint()), Q(kFailRed)));
    // The shorter plot sits in the middle of the height, to the right of the first.
    // Pair 111's second session came only 40 minutes later: its time column is red.
    const auto failing = std::find_if(view.HeightTimeDrawing().marks.begin(), view.HeightTimeDrawing().marks.end(),
                                      [](const Mark& m) { return m.key == 111 && m.fill == kFailRed; });
    QVERIFY(failing != view.HeightTimeDrawing().marks.end());
    const Mark* column = &*failing;
    const QPointF shifted = CentreOf(*column) + QPointF(640, (640 - 520) / 2.0);
    QVERIFY(Near(image.pixelColor(shifted.toPoint()), Q(kFailRed)));
    // A size that is no number takes no room.
    drawing::Drawing broken = Picture({}, kNaN, -5);
    const drawing::Drawing joined = SideBySide(broken, view.HeightTimeDrawing());
    QCOMPARE(joined.width, 800.0);
    QCOMPARE(joined.height, 520.0);
  }

  void savesPngAndSvg() {
    Job job;
    CFarklarView view;
    view.Refresh(*job.f.doc, job.profile, job.findings);
    TestDir dir;
    const fs::path png = dir / "farklar.PNG", svg = dir / "farklar.svg";
    const Status pngSaved = SaveDrawing(view.DifferenceDrawing(), png);
    QVERIFY2(pngSaved, pngSaved.cause().c_str());
    QImage read;
    QVERIFY(read.load(QString::fromStdString(png.string()), "PNG"));
    QCOMPARE(read.size(), QSize(1280, 1280));
    QCOMPARE(read.pixelColor(1, 1), kWhite);
    const QPointF dot = CentreOf(*DotOf(view.DifferenceDrawing(), 103)) * 2;
    QVERIFY(Near(read.pixelColor(dot.toPoint()), Q(kFailRed)));

    const Status svgSaved = SaveDrawing(view.HeightTimeDrawing(), svg);
    QVERIFY2(svgSaved, svgSaved.cause().c_str());
    const std::string text = ReadAll(svg);
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    QCOMPARE(text.substr(0, declaration.size()), declaration);
    QCOMPARE(text.substr(declaration.size()), SvgOf(view.HeightTimeDrawing()));
    if (!HasXmllint()) VELMIRA_QT_ORACLE_MISSING("xmllint is not installed");
    QCOMPARE(XmlProblems(svg), std::string());
    QCOMPARE(Listing(dir.path()), (std::vector<std::string>{"farklar.PNG", "farklar.svg"}));
  }

  // A save over an earlier file replaces it whole and keeps its permission bits.
  void saveReplacesKeepingTheMode() {
    TestDir dir;
    const fs::path path = dir / "resim.svg";
    WriteText(path, "eski");
    // Windows keeps only the read-only attribute of these bits.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(path).permissions();
    const drawing::Drawing d = Picture({Shape(Mark::Kind::Rect, {{10, 10}, {40, 30}}, std::nullopt, kRed)});
    QVERIFY(SaveDrawing(d, path));
    QVERIFY(ReadAll(path).find("<svg") != std::string::npos);
    QCOMPARE(fs::status(path).permissions(), before);
    QCOMPARE(Listing(dir.path()), std::vector<std::string>{"resim.svg"});
  }

  // Each refusal names the file and the reason, and leaves the earlier file and the
  // folder as they were.
  void refusedSavesChangeNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("setup");  // 0 nothing, 1 an earlier file, 2 a read-only earlier file, 3 a folder
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("unusable");  // a drawing that cannot be painted
    QTest::newRow("bmp") << "resim.bmp" << 1 << "yalnızca .png ya da .svg" << false;
    QTest::newRow("no extension") << "resim" << 1 << "yalnızca .png ya da .svg" << false;
    QTest::newRow("missing folder") << "yok/resim.png" << 0 << "Klasör ya da dosya bulunamadı." << false;
    QTest::newRow("read-only file") << "resim.png" << 2 << "salt okunur" << false;
    QTest::newRow("a folder") << "resim.svg" << 3 << "klasöre" << false;
    QTest::newRow("drawing without a size") << "resim.png" << 1 << "Resim boş" << true;
  }

  void refusedSavesChangeNothing() {
    QFETCH(QString, name);
    QFETCH(int, setup);
    QFETCH(QString, reason);
    QFETCH(bool, unusable);
    TestDir dir;
    const fs::path path = dir / name.toStdString();
    if (setup == 1 || setup == 2) WriteText(path, "eski");
    if (setup == 2) fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (setup == 3) fs::create_directory(path);
    const std::vector<std::string> listing = Listing(dir.path());
    drawing::Drawing d = Picture({Shape(Mark::Kind::Rect, {{10, 10}, {40, 30}}, std::nullopt, kRed)});
    if (unusable) d.width = kNaN;
    const Status saved = SaveDrawing(d, path);
    QVERIFY(!saved);
    const QString cause = QString::fromStdString(saved.cause());
    QVERIFY2(cause.startsWith(QString::fromStdString("Resim kaydedilemedi: " + path.string() + "\n")), qPrintable(cause));
    QVERIFY2(cause.contains(reason), qPrintable(cause));
    QCOMPARE(Listing(dir.path()), listing);
    if (setup == 1 || setup == 2) QCOMPARE(ReadAll(path), std::string("eski"));
  }

  // A write that fails halfway (here at the file size limit) leaves the earlier file as
  // it was and no temporary file behind.
  void failedWriteLeavesTheEarlierFile() {
#ifdef _WIN32
    QSKIP("not on Windows: the failure is made with a file size limit (setrlimit)");
#else
    TestDir dir;
    const fs::path path = dir / "farklar.png";
    WriteText(path, "eski");
    const drawing::Drawing d = Picture({Shape(Mark::Kind::Circle, {{50, 50}}, drawing::Pen{kRed, 2}, kBlue, 30)});
    rlimit original{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = 100;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status saved = SaveDrawing(d, path);
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previous);
    QVERIFY(!saved);
    QVERIFY2(saved.cause().find("Resim kaydedilemedi: " + path.string() + "\n") == 0, saved.cause().c_str());
    QCOMPARE(ReadAll(path), std::string("eski"));
    QCOMPARE(Listing(dir.path()), std::vector<std::string>{"farklar.png"});
#endif
  }

  // The map's image: PNG only, read back as it was; a null image is refused.
  void savesImage() {
    TestDir dir;
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Q(kBlue));
    QVERIFY(SaveImage(image, dir / "harita.png"));
    QImage read;
    QVERIFY(read.load(QString::fromStdString((dir / "harita.png").string())));
    QCOMPARE(read.size(), QSize(30, 20));
    QCOMPARE(read.pixelColor(5, 5), Q(kBlue));
    WriteText(dir / "harita.jpg", "eski");
    const Status jpg = SaveImage(image, dir / "harita.jpg");
    QVERIFY(!jpg);
    QVERIFY(jpg.cause().find("Resim kaydedilemedi: ") == 0);
    QCOMPARE(ReadAll(dir / "harita.jpg"), std::string("eski"));
    QVERIFY(!SaveImage(QImage(), dir / "bos.png"));
    QCOMPARE(Listing(dir.path()), (std::vector<std::string>{"harita.jpg", "harita.png"}));
  }

  // Sizes a PNG cannot hold are refused before any memory is taken for them.
  void renderRefusesUnusableSizes_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("scale");
    QTest::newRow("zero") << 0.0 << 100.0 << 1.0;
    QTest::newRow("negative") << 100.0 << -1.0 << 1.0;
    QTest::newRow("not a number") << kNaN << 100.0 << 1.0;
    QTest::newRow("a billion pixels wide") << 1e9 << 100.0 << 1.0;
    QTest::newRow("just too large at 2x") << 8193.0 << 100.0 << 2.0;
    QTest::newRow("scale not a number") << 100.0 << 100.0 << kNaN;
    QTest::newRow("scale 0") << 100.0 << 100.0 << 0.0;
  }

  void renderRefusesUnusableSizes() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, scale);
    QVERIFY(RenderDrawing(Picture({}, width, height), scale).isNull());
    QCOMPARE(RenderDrawing(Picture({}, 8192, 10), 2).size(), QSize(16384, 20));
  }
};

QTEST_MAIN(PlotTest)
#include "plot_test.moc"
