// The plots are painted, not reimplemented: DifferencePlot and HeightTimePlot make the
// marks, PaintDrawing draws them, and one placement (scale and offset per plot) serves
// painting and hit testing alike, so a click lands on the mark that was drawn there.
#include "mapview/CFarklarView.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <string>

#include "mapview/DrawingPainter.h"
#include "mapview/Pictures.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"
#include "text/Numbers.h"

using drawing::Mark;

namespace {

constexpr double kMargin = 8;          // widget pixels around and between the plots
constexpr double kHitTolerance = 3;    // widget pixels a click may miss a mark by
constexpr drawing::Rgb kSelection{33, 33, 33};
constexpr double kRingGap = 3;         // drawing pixels between a dot and its ring
constexpr double kRingWidth = 2;
constexpr double kOutlineGap = 1.5;    // around a selected column
constexpr double kCmPerM = 100.0;

// Both plots at one scale, side by side or one over the other, whichever gives them more
// room; each centred in its share.
struct Layout {
  QPointF origin[2];
  double scale = 0;
};

Layout LayoutFor(QSizeF widget, const drawing::Drawing (&plots)[2]) {
  const double w0 = std::max(plots[0].width, 1.0), h0 = std::max(plots[0].height, 1.0);
  const double w1 = std::max(plots[1].width, 1.0), h1 = std::max(plots[1].height, 1.0);
  const double W = widget.width(), H = widget.height();
  const double across = std::min((W - 3 * kMargin) / (w0 + w1), (H - 2 * kMargin) / std::max(h0, h1));
  const double stacked = std::min((W - 2 * kMargin) / std::max(w0, w1), (H - 3 * kMargin) / (h0 + h1));
  Layout layout;
  layout.scale = std::max(across, stacked);
  if (!(layout.scale > 0)) return {};
  const double s = layout.scale;
  if (across >= stacked) {
    const double left = (W - s * (w0 + w1) - kMargin) / 2;
    layout.origin[0] = {left, (H - s * h0) / 2};
    layout.origin[1] = {left + s * w0 + kMargin, (H - s * h1) / 2};
  } else {
    const double top = (H - s * (h0 + h1) - kMargin) / 2;
    layout.origin[0] = {(W - s * w0) / 2, top};
    layout.origin[1] = {(W - s * w1) / 2, top + s * h0 + kMargin};
  }
  return layout;
}

Mark Outline(Mark m, drawing::Pen pen) {
  m.pen = pen;
  m.fill.reset();
  m.keyKind = drawing::KeyKind::Furniture;
  return m;
}

// A dark ring around a dot or diamond: it stays visible on red and blue alike and does
// not hide the dot's colour, which tells whether the pair fails.
Mark Ring(const Mark& m) {
  double left = m.points[0].x, right = left, top = m.points[0].y, bottom = top;
  for (const drawing::Point& p : m.points) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  Mark ring = Outline(m, drawing::Pen{kSelection, kRingWidth});
  ring.kind = Mark::Kind::Circle;
  ring.points = {{(left + right) / 2, (top + bottom) / 2}};
  ring.radius = (m.kind == Mark::Kind::Circle ? m.radius : std::max(right - left, bottom - top) / 2) + kRingGap;
  return ring;
}

// A dark frame just outside a column, however thin or flat the column is, and a small
// pointer above it: among dozens of blue columns a frame alone is easily missed.
void MarkColumn(std::vector<Mark>& marks, const Mark& m) {
  if (m.kind != Mark::Kind::Rect) return;  // a column's overflow triangle: the column is marked
  const double left = std::min(m.points[0].x, m.points[1].x), right = std::max(m.points[0].x, m.points[1].x);
  const double top = std::min(m.points[0].y, m.points[1].y), bottom = std::max(m.points[0].y, m.points[1].y);
  Mark frame = Outline(m, drawing::Pen{kSelection, kOutlineGap});
  frame.points = {{left - kOutlineGap, top - kOutlineGap}, {right + kOutlineGap, bottom + kOutlineGap}};
  marks.push_back(frame);
  const double middle = (left + right) / 2, tip = top - kOutlineGap - 2;
  Mark pointer;
  pointer.kind = Mark::Kind::Polygon;
  pointer.fill = kSelection;
  pointer.points = {{middle - 4, tip - 6}, {middle + 4, tip - 6}, {middle, tip}};
  marks.push_back(pointer);
}

drawing::Drawing SelectionMarksOf(const drawing::Drawing& plot, const std::set<int>& selected, bool columns) {
  drawing::Drawing marks{plot.width, plot.height, {}, {}};
  for (const Mark& m : plot.marks) {
    if (m.keyKind != drawing::KeyKind::Pair || m.kind == Mark::Kind::Text || m.points.empty()) continue;
    if (selected.count(m.key) == 0) continue;
    if (columns) {
      MarkColumn(marks.marks, m);
    } else {
      marks.marks.push_back(Ring(m));
    }
  }
  return marks;
}

// Centimetres to a tenth; a difference that rounds to nothing has no sign.
QString Cm(double metres) {
  std::string s = text::FormatFixed(metres * kCmPerM, 1);
  if (s == "-0.0") s = "0.0";
  return QString::fromStdString(s);
}

QString ToolTipOf(const PairDifference& p) {
  return QString::fromUtf8("Eşleşme %1: %2\nΔY %3 cm, ΔX %4 cm, Δh %5 cm\nOturumlar arası %6 saat%7")
      .arg(p.nPairNo)
      .arg(QString::fromStdString(p.name), Cm(p.dy), Cm(p.dx), Cm(p.dh),
           QString::fromStdString(text::FormatFixed(p.hours, 2)), p.failing ? QString::fromUtf8("\nHatalı") : QString());
}

}  // namespace

CFarklarView::CFarklarView(QWidget* pParent) : QWidget(pParent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CFarklarView::Refresh(const CVelmiraDoc& doc, const RuleProfile& profile, const std::vector<Finding>& findings) {
  m_pairs = PairDifferencesOf(doc, findings);
  m_plots[kDifferencePlot] = DifferencePlot(m_pairs, profile);
  m_plots[kHeightTimePlot] = HeightTimePlot(m_pairs, profile);
  RebuildSelectionMarks();
  update();
}

void CFarklarView::SetSelectedPairs(std::vector<int> pairNos) {
  std::set<int> selected(pairNos.begin(), pairNos.end());
  if (selected == m_selected) return;
  m_selected = std::move(selected);
  RebuildSelectionMarks();
  update();
}

void CFarklarView::RebuildSelectionMarks() {
  m_selectionMarks[kDifferencePlot] = SelectionMarksOf(m_plots[kDifferencePlot], m_selected, false);
  m_selectionMarks[kHeightTimePlot] = SelectionMarksOf(m_plots[kHeightTimePlot], m_selected, true);
}

drawing::Drawing CFarklarView::CombinedDrawing() const {
  return SideBySide(m_plots[kDifferencePlot], m_plots[kHeightTimePlot]);
}

QImage CFarklarView::RenderImage(int which, double scale) const {
  if (which != kDifferencePlot && which != kHeightTimePlot) return {};
  return RenderDrawing(m_plots[which], scale);
}

CFarklarView::Placement CFarklarView::PlacementOf(int which) const {
  if (!HasPairs() || (which != kDifferencePlot && which != kHeightTimePlot)) return {};
  const Layout layout = LayoutFor(QSizeF(size()), m_plots);
  if (!(layout.scale > 0)) return {};
  Placement p;
  p.scale = layout.scale;
  p.transform.translate(layout.origin[which].x(), layout.origin[which].y());
  p.transform.scale(layout.scale, layout.scale);
  p.area = p.transform.mapRect(QRectF(0, 0, m_plots[which].width, m_plots[which].height));
  return p;
}

QTransform CFarklarView::PlotTransform(int which) const { return PlacementOf(which).transform; }

std::optional<int> CFarklarView::PairAt(QPointF widgetPoint) const {
  for (int which : {kDifferencePlot, kHeightTimePlot}) {
    const Placement p = PlacementOf(which);
    if (p.scale <= 0) continue;
    const double margin = kHitTolerance;
    if (!p.area.adjusted(-margin, -margin, margin, margin).contains(widgetPoint)) continue;
    const QPointF at = p.transform.inverted().map(widgetPoint);
    if (const Mark* m = KeyedMarkAt(m_plots[which], at, kHitTolerance / p.scale)) {
      if (m->keyKind == drawing::KeyKind::Pair) return m->key;
    }
  }
  return std::nullopt;
}

QSize CFarklarView::sizeHint() const { return {1000, 460}; }

QSize CFarklarView::minimumSizeHint() const { return {240, 160}; }

void CFarklarView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  if (!HasPairs()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, QString::fromUtf8("Eşleşen nokta yok."));
    return;
  }
  for (int which : {kDifferencePlot, kHeightTimePlot}) {
    const Placement p = PlacementOf(which);
    if (p.scale <= 0) continue;
    painter.save();
    painter.setTransform(p.transform);
    // As a browser shows the SVG: nothing outside the picture's own frame.
    painter.setClipRect(QRectF(0, 0, m_plots[which].width, m_plots[which].height));
    PaintDrawing(painter, m_plots[which]);
    PaintDrawing(painter, m_selectionMarks[which]);
    painter.restore();
  }
}

void CFarklarView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  if (const std::optional<int> pair = PairAt(event->position())) emit PairClicked(*pair);
  event->accept();
}

void CFarklarView::mouseMoveEvent(QMouseEvent* event) {
  if (PairAt(event->position())) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
  QWidget::mouseMoveEvent(event);
}

bool CFarklarView::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const std::optional<int> pairNo = PairAt(help->pos());
  const auto pair = std::find_if(m_pairs.begin(), m_pairs.end(), [&](const PairDifference& p) {
    return pairNo && p.nPairNo == *pairNo;
  });
  if (pair == m_pairs.end()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(help->globalPos(), ToolTipOf(*pair), this);
  }
  return true;
}
