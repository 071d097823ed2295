// The map view in four parts: state (the document's zone as a model, the viewport, the
// marked points), the scene (what is drawn, back to front: grid, pair lines, dots,
// vectors, marks, names, furniture), two sinks that receive the scene (the screen image,
// and marks for SVG), and input.
#include "mapview/CHaritaView.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <utility>

#include "drawing/LabelSpace.h"
#include "drawing/MapFurniture.h"
#include "jobdata/CVelmiraDoc.h"
#include "text/Cp1254.h"

using drawing::Anchor;
using drawing::KeyKind;
using drawing::Pen;
using drawing::Rgb;
using jobmap::GridBounds;
using jobmap::GridPoint;
using jobmap::MapDot;
using jobmap::MapModel;
using jobmap::MapViewport;
using jobmap::ScreenPoint;

namespace {

// One colour per job file, by its place in the file list; red stays for failing points.
constexpr std::array<Rgb, 8> kPalette = {{{0x1f, 0x77, 0xb4},
                                          {0xff, 0x7f, 0x0e},
                                          {0x2c, 0xa0, 0x2c},
                                          {0x94, 0x67, 0xbd},
                                          {0x8c, 0x56, 0x4b},
                                          {0xe3, 0x77, 0xc2},
                                          {0xbc, 0xbd, 0x22},
                                          {0x17, 0xbe, 0xcf}}};
constexpr Rgb kFail{0xd6, 0x27, 0x28};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kInk{33, 33, 33};
constexpr Rgb kMuted{110, 110, 110};
constexpr Rgb kGridLine{232, 232, 232};
constexpr Rgb kFrame{170, 170, 170};
constexpr Rgb kLink{150, 150, 150};
constexpr Rgb kVector{40, 40, 40};
constexpr Rgb kTick{0x55, 0x1a, 0x8b};

// Sizes in screen pixels; dots keep them at every zoom.
constexpr double kDotRadius = 3.5;
constexpr double kFailRadius = 4.2;
constexpr double kSelectedRadius = 6.5;
constexpr double kTickRadius = 9.5;
constexpr double kGridSpacingPx = 110;
constexpr double kNameSizePx = 11;
constexpr double kLabelSizePx = 10;
// Names are drawn only while few dots are visible; beyond, they would be a grey smear.
constexpr std::size_t kMostNamedDots = 400;
// Arrowheads cost a polygon each; past this many the vectors are plain lines.
constexpr int kMostArrowheads = 2000;
constexpr double kArrowheadFromPx = 12;
// A batch of lines this long is drawn without antialiasing.
constexpr std::size_t kMostSmoothLines = 2000;

constexpr double kButtonZoom = 2;
constexpr double kWheelZoomPerNotch = 1.25;  // one notch is 120 eighths of a degree
constexpr double kKeyPanPx = 60;
constexpr double kLegendStripPx = 24;

const Rgb& FileColour(std::uint8_t slot) { return kPalette[slot % kPalette.size()]; }
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
drawing::Point ToPoint(QPointF p) { return {p.x(), p.y()}; }
QPointF ToQPoint(ScreenPoint s) { return {s.sx, s.sy}; }

QFont FontOf(double px, bool bold) {
  QFont f;
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
  f.setBold(bold);
  return f;
}

bool SegmentMayShow(QPointF a, QPointF b, double w, double h) {
  return std::max(a.x(), b.x()) >= 0 && std::min(a.x(), b.x()) <= w && std::max(a.y(), b.y()) >= 0 &&
         std::min(a.y(), b.y()) <= h;
}

// s over d, both premultiplied ARGB (Porter-Duff "over", two channels at a time).
inline std::uint32_t Over(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t ia = 255 - (s >> 24);
  if (ia == 0) return s;
  if (ia == 255) return d;
  std::uint32_t rb = (d & 0x00ff00ffu) * ia;
  std::uint32_t ag = ((d >> 8) & 0x00ff00ffu) * ia;
  rb = ((rb + ((rb >> 8) & 0x00ff00ffu) + 0x00800080u) >> 8) & 0x00ff00ffu;
  ag = (ag + ((ag >> 8) & 0x00ff00ffu) + 0x00800080u) & 0xff00ff00u;
  return s + rb + ag;
}

}  // namespace

// ---- stamps ------------------------------------------------------------------------------

// A dot painted once, antialiased, per colour; painting a dot is then a copy with blending.
struct CHaritaView::Stamps {
  struct Stamp {
    int side = 0;
    int half = 0;
    std::vector<std::uint32_t> pixels;  // premultiplied ARGB, side x side
  };
  double ratio = 0;
  std::array<Stamp, kPalette.size() + 1> stamps;  // the palette, then failing

  explicit Stamps(double pixelRatio) : ratio(pixelRatio) {
    for (std::size_t i = 0; i < stamps.size(); ++i) {
      const bool failing = i == kPalette.size();
      stamps[i] = Make(failing ? kFail : kPalette[i], failing ? kFailRadius : kDotRadius);
    }
  }

  Stamp Make(Rgb colour, double radius) const {
    Stamp s;
    s.half = static_cast<int>(std::ceil((radius + 1) * ratio));
    s.side = 2 * s.half + 1;
    QImage img(s.side, s.side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(QColor(255, 255, 255, 230), 1.0 * ratio));
      p.setBrush(ToQColor(colour));
      const QPointF centre(s.half + 0.5, s.half + 0.5);
      p.drawEllipse(centre, radius * ratio, radius * ratio);
    }
    s.pixels.resize(static_cast<std::size_t>(s.side) * static_cast<std::size_t>(s.side));
    for (int y = 0; y < s.side; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
      std::copy(row, row + s.side, s.pixels.begin() + static_cast<std::ptrdiff_t>(y) * s.side);
    }
    return s;
  }

  const Stamp& For(const MapDot& d) const { return d.failing ? stamps.back() : stamps[d.fileSlot % kPalette.size()]; }
};

// ---- sinks -------------------------------------------------------------------------------

// What the scene is drawn into. Positions are widget pixels; keys name the point or pair a
// mark stands for.
class CHaritaView::Sink {
 public:
  virtual ~Sink() = default;
  virtual void Line(QPointF a, QPointF b, const Pen& pen, KeyKind kind = KeyKind::Furniture, int key = 0) = 0;
  virtual void Polygon(std::span<const QPointF> points, std::optional<Pen> pen, std::optional<Rgb> fill) = 0;
  virtual void Rect(QRectF r, std::optional<Pen> pen, std::optional<Rgb> fill) = 0;
  virtual void Circle(QPointF c, double radius, std::optional<Pen> pen, std::optional<Rgb> fill, KeyKind kind = KeyKind::Furniture,
                      int key = 0, int file = 0) = 0;
  virtual void Text(QPointF at, const QString& text, Anchor anchor, double px, Rgb colour, bool bold = false,
                    KeyKind kind = KeyKind::Furniture, int key = 0, int file = 0) = 0;
  // The dots of the model listed, each in its file's colour (or red when failing).
  virtual void Dots(const std::vector<std::uint32_t>& dots) = 0;

  // Marks built by the shared furniture code, in order.
  virtual void Marks(const std::vector<drawing::Mark>& marks);
};

namespace {

double AnchorShift(Anchor anchor, double width) {
  return anchor == Anchor::Start ? 0 : anchor == Anchor::Middle ? width / 2 : width;
}

}  // namespace

class CHaritaView::PainterSink final : public Sink {
 public:
  PainterSink(QImage& image, const MapModel& model, const MapViewport& view, const Stamps& stamps)
      : m_image(image), m_model(model), m_view(view), m_stamps(stamps) {
    Begin();
  }
  ~PainterSink() override {
    Flush();
    m_painter.end();
  }

  void Line(QPointF a, QPointF b, const Pen& pen, KeyKind, int) override {
    if (!m_lines.empty() && !(m_linePen.colour == pen.colour && m_linePen.width == pen.width)) Flush();
    m_linePen = pen;
    m_lines.emplace_back(a, b);
  }
  void Polygon(std::span<const QPointF> points, std::optional<Pen> pen, std::optional<Rgb> fill) override {
    Flush();
    Style(pen, fill);
    m_painter.drawPolygon(points.data(), static_cast<int>(points.size()));
  }
  void Rect(QRectF r, std::optional<Pen> pen, std::optional<Rgb> fill) override {
    Flush();
    if (!pen && fill) {
      m_painter.fillRect(r, ToQColor(*fill));
      return;
    }
    Style(pen, fill);
    m_painter.drawRect(r);
  }
  void Circle(QPointF c, double radius, std::optional<Pen> pen, std::optional<Rgb> fill, KeyKind, int, int) override {
    Flush();
    Style(pen, fill);
    m_painter.drawEllipse(c, radius, radius);
  }
  void Text(QPointF at, const QString& text, Anchor anchor, double px, Rgb colour, bool bold, KeyKind, int, int) override {
    Flush();
    if (px != m_fontPx || bold != m_fontBold) {
      m_painter.setFont(FontOf(px, bold));
      m_fontPx = px, m_fontBold = bold;
    }
    m_painter.setPen(ToQColor(colour));
    const double width = anchor == Anchor::Start ? 0 : m_painter.fontMetrics().horizontalAdvance(text);
    m_painter.drawText(QPointF(at.x() - AnchorShift(anchor, width), at.y()), text);
  }
  // Stamped into the pixels directly: at 100,000 dots a painter call each would take
  // longer than a frame.
  void Dots(const std::vector<std::uint32_t>& dots) override {
    Flush();
    m_painter.end();
    const double ratio = m_image.devicePixelRatio();
    auto* bits = reinterpret_cast<std::uint32_t*>(m_image.bits());
    const auto stride = static_cast<std::ptrdiff_t>(m_image.bytesPerLine() / 4);
    const int w = m_image.width(), h = m_image.height();
    for (std::uint32_t i : dots) {
      const MapDot& d = m_model.Dots()[i];
      const Stamps::Stamp& s = m_stamps.For(d);
      const ScreenPoint at = m_view.ToScreen(d.At());
      const int x0 = static_cast<int>(std::floor(at.sx * ratio)) - s.half;
      const int y0 = static_cast<int>(std::floor(at.sy * ratio)) - s.half;
      const int cx0 = std::max(0, -x0), cx1 = std::min(s.side, w - x0);
      const int cy0 = std::max(0, -y0), cy1 = std::min(s.side, h - y0);
      for (int y = cy0; y < cy1; ++y) {
        std::uint32_t* dst = bits + (y0 + y) * stride + x0;
        const std::uint32_t* src = s.pixels.data() + static_cast<std::ptrdiff_t>(y) * s.side;
        for (int x = cx0; x < cx1; ++x) dst[x] = Over(src[x], dst[x]);
      }
    }
    Begin();
  }

 private:
  void Begin() {
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    m_fontPx = -1;
  }
  void Style(std::optional<Pen> pen, std::optional<Rgb> fill) {
    m_painter.setPen(pen ? QPen(ToQColor(pen->colour), pen->width) : QPen(Qt::NoPen));
    m_painter.setBrush(fill ? QBrush(ToQColor(*fill)) : QBrush(Qt::NoBrush));
  }
  void Flush() {
    if (m_lines.empty()) return;
    const bool smooth = m_lines.size() <= kMostSmoothLines;
    m_painter.setRenderHint(QPainter::Antialiasing, smooth);
    m_painter.setPen(QPen(ToQColor(m_linePen.colour), m_linePen.width));
    m_painter.drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_lines.clear();
  }

  QImage& m_image;
  const MapModel& m_model;
  const MapViewport& m_view;
  const Stamps& m_stamps;
  QPainter m_painter;
  std::vector<QLineF> m_lines;
  Pen m_linePen;
  double m_fontPx = -1;
  bool m_fontBold = false;
};

class CHaritaView::DrawingSink final : public Sink {
 public:
  DrawingSink(drawing::Drawing& d, const MapModel& model, const MapViewport& view)
      : m_d(d), m_model(model), m_view(view) {}

  void Line(QPointF a, QPointF b, const Pen& pen, KeyKind kind, int key) override {
    drawing::Mark m;
    m.kind = drawing::Mark::Kind::Line;
    m.points = {ToPoint(a), ToPoint(b)};
    m.pen = pen;
    m.keyKind = kind;
    m.key = key;
    m_d.marks.push_back(std::move(m));
  }
  void Polygon(std::span<const QPointF> points, std::optional<Pen> pen, std::optional<Rgb> fill) override {
    drawing::Mark m;
    m.kind = drawing::Mark::Kind::Polygon;
    for (QPointF p : points) m.points.push_back(ToPoint(p));
    m.pen = pen;
    m.fill = fill;
    m_d.marks.push_back(std::move(m));
  }
  void Rect(QRectF r, std::optional<Pen> pen, std::optional<Rgb> fill) override {
    drawing::Mark m;
    m.kind = drawing::Mark::Kind::Rect;
    m.points = {ToPoint(r.topLeft()), ToPoint(r.bottomRight())};
    m.pen = pen;
    m.fill = fill;
    m_d.marks.push_back(std::move(m));
  }
  void Circle(QPointF c, double radius, std::optional<Pen> pen, std::optional<Rgb> fill, KeyKind kind, int key,
              int file) override {
    drawing::Mark m;
    m.kind = drawing::Mark::Kind::Circle;
    m.points = {ToPoint(c)};
    m.radius = radius;
    m.pen = pen;
    m.fill = fill;
    m.keyKind = kind;
    m.key = key;
    m.fileNumber = file;
    m_d.marks.push_back(std::move(m));
  }
  void Text(QPointF at, const QString& text, Anchor anchor, double px, Rgb colour, bool bold, KeyKind kind, int key,
            int file) override {
    drawing::Mark m;
    m.kind = drawing::Mark::Kind::Text;
    m.points = {ToPoint(at)};
    m.text = text.toStdString();
    m.anchor = anchor;
    m.fontSize = px;
    m.bold = bold;
    m.pen = Pen{colour, 1};
    m.fill = colour;
    m.keyKind = kind;
    m.key = key;
    m.fileNumber = file;
    m_d.marks.push_back(std::move(m));
  }
  void Marks(const std::vector<drawing::Mark>& marks) override {
    for (drawing::Mark m : marks) {
      if (m.kind == drawing::Mark::Kind::Text && m.fill) m.pen = Pen{*m.fill, 1};  // as Text makes them
      m_d.marks.push_back(std::move(m));
    }
  }
  void Dots(const std::vector<std::uint32_t>& dots) override {
    for (std::uint32_t i : dots) {
      const MapDot& d = m_model.Dots()[i];
      Circle(ToQPoint(m_view.ToScreen(d.At())), d.failing ? kFailRadius : kDotRadius, Pen{kWhite, 1},
             d.failing ? kFail : FileColour(d.fileSlot), KeyKind::Point, d.nIndex, d.nFileNumber);
    }
  }

 private:
  drawing::Drawing& m_d;
  const MapModel& m_model;
  const MapViewport& m_view;
};

void CHaritaView::Sink::Marks(const std::vector<drawing::Mark>& marks) {
  using Kind = drawing::Mark::Kind;
  for (const drawing::Mark& m : marks) {
    const auto at = [&](std::size_t i) { return QPointF(m.points[i].x, m.points[i].y); };
    switch (m.kind) {
      case Kind::Line:
        Line(at(0), at(1), m.pen.value_or(Pen{}), m.keyKind, m.key);
        break;
      case Kind::Polyline:
        for (std::size_t i = 1; i < m.points.size(); ++i) Line(at(i - 1), at(i), m.pen.value_or(Pen{}), m.keyKind, m.key);
        break;
      case Kind::Polygon: {
        std::vector<QPointF> points;
        for (std::size_t i = 0; i < m.points.size(); ++i) points.push_back(at(i));
        Polygon(points, m.pen, m.fill);
        break;
      }
      case Kind::Rect:
        Rect(QRectF(at(0), at(1)), m.pen, m.fill);
        break;
      case Kind::Circle:
        Circle(at(0), m.radius, m.pen, m.fill, m.keyKind, m.key, m.fileNumber);
        break;
      case Kind::Text:
        Text(at(0), QString::fromStdString(m.text), m.anchor, m.fontSize, m.fill.value_or(Rgb{}), m.bold, m.keyKind, m.key,
             m.fileNumber);
        break;
    }
  }
}

// ---- state -------------------------------------------------------------------------------

CHaritaView::CHaritaView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_viewport.Resize(width(), height());
}

CHaritaView::~CHaritaView() = default;

void CHaritaView::Refresh(const CVelmiraDoc& doc, const std::vector<Finding>& findings) {
  m_doc = &doc;
  m_findings = findings;
  m_anyPoints = !doc.NoktaList().empty();
  std::vector<std::string> zones = MapModel::Zones(doc);
  const std::string oldZone = m_zone;
  const bool zonesChanged = zones != m_zones;
  m_zones = std::move(zones);
  if (std::find(m_zones.begin(), m_zones.end(), m_zone) == m_zones.end()) {
    m_zone = m_zones.empty() ? std::string() : m_zones.front();
  }
  Rebuild(m_zone == oldZone);
  if (zonesChanged || m_zone != oldZone) emit ZonesChanged();
}

void CHaritaView::SetZone(const std::string& meridian) {
  if (meridian == m_zone || std::find(m_zones.begin(), m_zones.end(), meridian) == m_zones.end()) return;
  m_zone = meridian;
  Rebuild(false);
  emit ZonesChanged();
}

void CHaritaView::Rebuild(bool keepViewport) {
  const GridBounds oldBounds = m_model.Bounds();
  m_model = m_doc ? MapModel::Build(*m_doc, m_findings, m_zone) : MapModel();
  m_legend.clear();
  if (m_doc) {
    std::vector<bool> used(256, false);
    bool failing = false;
    for (const MapDot& d : m_model.Dots()) used[d.fileSlot] = true, failing = failing || d.failing;
    const auto& files = m_doc->TsjList();
    for (std::size_t slot = 0; slot < files.size() && slot < used.size(); ++slot) {
      if (used[slot]) {
        m_legend.push_back({QString::fromStdString(text::Cp1254ToUtf8(files[slot].strFileName)),
                            ToQColor(FileColour(static_cast<std::uint8_t>(slot)))});
      }
    }
    if (failing) m_legend.push_back({QStringLiteral("Hatalı"), ToQColor(kFail)});
  }
  Resolve();
  if (!keepViewport || !(m_model.Bounds() == oldBounds) || m_followsFit) Fit();
  Changed();
  emit ModelChanged();
}

void CHaritaView::Resolve() {
  m_selectedDots.clear();
  m_tickedDots.clear();
  for (int key : m_selectedKeys) {
    if (auto d = m_model.DotOfIndex(key)) m_selectedDots.push_back(*d);
  }
  for (int key : m_tickedKeys) {
    if (auto d = m_model.DotOfIndex(key)) m_tickedDots.push_back(*d);
  }
  if (!m_selectedPairKeys.empty()) {
    for (const jobmap::MapLink& link : m_model.Links()) {
      if (std::find(m_selectedPairKeys.begin(), m_selectedPairKeys.end(), link.nPairNo) == m_selectedPairKeys.end()) continue;
      m_selectedDots.push_back(link.first);
      m_selectedDots.push_back(link.second);
    }
  }
}

void CHaritaView::SetSelectedPoints(std::vector<int> nIndexes) {
  if (nIndexes == m_selectedKeys) return;
  m_selectedKeys = std::move(nIndexes);
  Resolve();
  Changed();
}

void CHaritaView::SetTickedPoints(std::vector<int> nIndexes) {
  if (nIndexes == m_tickedKeys) return;
  m_tickedKeys = std::move(nIndexes);
  Resolve();
  Changed();
}

void CHaritaView::SetSelectedPairs(std::vector<int> pairNos) {
  if (pairNos == m_selectedPairKeys) return;
  m_selectedPairKeys = std::move(pairNos);
  Resolve();
  Changed();
}

void CHaritaView::SetMagnification(double factor) {
  if (!std::isfinite(factor)) return;
  factor = std::clamp(factor, kLeastMagnification, kMostMagnification);
  if (factor == m_magnification) return;
  m_magnification = factor;
  Changed();
}

void CHaritaView::Changed() {
  m_frameStale = true;
  update();
}

void CHaritaView::Fit() const {
  m_viewport = MapViewport::Fit(m_model.Bounds(), width(), height(), kFitMarginPx);
  m_followsFit = true;
  m_frameStale = true;
}

void CHaritaView::Sync() const {
  if (m_viewport.Width() == std::max(width(), 1) && m_viewport.Height() == std::max(height(), 1)) return;
  if (m_followsFit) {
    Fit();
  } else {
    m_viewport.Resize(width(), height());
    m_frameStale = true;
  }
}

const MapViewport& CHaritaView::Viewport() const {
  Sync();
  return m_viewport;
}

void CHaritaView::MoveView(const MapViewport& to) {
  m_followsFit = false;
  if (to == m_viewport) return;
  m_viewport = to;
  Changed();
}

void CHaritaView::ShowAll() {
  Fit();
  Changed();
}

void CHaritaView::ZoomIn() {
  MapViewport v = Viewport();
  v.ZoomAt({width() / 2.0, height() / 2.0}, kButtonZoom);
  MoveView(v);
}

void CHaritaView::ZoomOut() {
  MapViewport v = Viewport();
  v.ZoomAt({width() / 2.0, height() / 2.0}, 1 / kButtonZoom);
  MoveView(v);
}

std::optional<std::uint32_t> CHaritaView::DotAt(QPointF pos) const {
  const MapViewport& v = Viewport();
  return m_model.Nearest(v.ToGrid({pos.x(), pos.y()}), kClickRadiusPx / v.PixelsPerMetre());
}

std::string CHaritaView::NameOf(const MapDot& dot) const {
  if (!m_doc || dot.listPos >= m_doc->NoktaList().size()) return {};
  const CTarvekNokta& p = m_doc->NoktaList()[dot.listPos];
  if (p.nIndex != dot.nIndex) return {};  // the list changed since the last Refresh
  return text::Cp1254ToUtf8(p.strName);
}

// ---- the scene ---------------------------------------------------------------------------

QImage CHaritaView::RenderImage() const {
  Sync();
  const double ratio = devicePixelRatioF();
  QImage image(QSize(std::max(1, static_cast<int>(std::lround(width() * ratio))),
                     std::max(1, static_cast<int>(std::lround(height() * ratio)))),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  RenderInto(image);
  return image;
}

void CHaritaView::RenderInto(QImage& image) const {
  if (!m_stamps || m_stamps->ratio != image.devicePixelRatio()) m_stamps = std::make_unique<Stamps>(image.devicePixelRatio());
  image.fill(Qt::white);
  PainterSink sink(image, m_model, m_viewport, *m_stamps);
  PaintScene(sink);
}

drawing::Drawing CHaritaView::CurrentDrawing() const {
  Sync();
  drawing::Drawing d;
  d.width = m_viewport.Width();
  d.height = m_viewport.Height() + (m_legend.empty() ? 0 : kLegendStripPx);
  d.title = m_zone.empty() ? "Nokta haritası" : "Nokta haritası TM" + m_zone;
  DrawingSink sink(d, m_model, m_viewport);
  sink.Rect(QRectF(0, 0, d.width, d.height), std::nullopt, kWhite);
  PaintScene(sink);
  if (!m_legend.empty()) PaintLegendStrip(sink, m_viewport.Height());
  return d;
}

// The legend of a saved picture: on screen the pane shows it beside the controls.
void CHaritaView::PaintLegendStrip(Sink& sink, double top) const {
  sink.Line({0, top + 0.5}, {static_cast<double>(m_viewport.Width()), top + 0.5}, Pen{kFrame, 1});
  const QFontMetricsF metrics(FontOf(kLabelSizePx + 1, false));
  double x = 10;
  for (const LegendEntry& e : m_legend) {
    const QColor c = e.colour;
    sink.Circle({x + 4, top + 12}, kDotRadius, Pen{kWhite, 1},
                Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue())});
    sink.Text({x + 12, top + 16}, e.text, Anchor::Start, kLabelSizePx + 1, kInk);
    x += 12 + metrics.horizontalAdvance(e.text) + 16;
  }
}

void CHaritaView::PaintScene(Sink& sink) const {
  const double w = m_viewport.Width(), h = m_viewport.Height();
  if (m_model.Empty()) {
    sink.Text({w / 2, h / 2}, m_anyPoints ? QStringLiteral("Bu dilimde konumu olan nokta yok.") : QStringLiteral("Yüklü nokta yok."),
              Anchor::Middle, 14, kMuted);
    if (!m_zone.empty()) PaintFurniture(sink);
    return;
  }
  PaintGrid(sink);
  PaintLinks(sink, false);

  // Dots whose disc reaches into the view, the failing ones last so they stay on top.
  GridBounds seen = m_viewport.Visible();
  const double pad = (kFailRadius + 1) / m_viewport.PixelsPerMetre();
  seen.minY -= pad, seen.maxY += pad, seen.minX -= pad, seen.maxX += pad;
  m_visibleDots.clear();
  m_visibleFailing.clear();
  m_model.ForEachDotIn(seen, [&](std::uint32_t i) {
    (m_model.Dots()[i].failing ? m_visibleFailing : m_visibleDots).push_back(i);
  });
  sink.Dots(m_visibleDots);
  sink.Dots(m_visibleFailing);

  PaintLinks(sink, true);
  PaintMarked(sink);
  PaintFurniture(sink);
  if (m_visibleDots.size() + m_visibleFailing.size() <= kMostNamedDots) PaintNames(sink);
}

// Labels keep clear of the corners' furniture: the zone top left, the north arrow top
// right, the scale bar and the note along the bottom. Every label is drawn over every line.
void CHaritaView::PaintGrid(Sink& sink) const {
  const double w = m_viewport.Width(), h = m_viewport.Height();
  std::vector<drawing::Mark> marks;
  drawing::AddGrid(marks, m_viewport.Frame(),
                   drawing::GridStyle{.spacingPx = kGridSpacingPx,
                                      .line = kGridLine,
                                      .label = kMuted,
                                      .labelPx = kLabelSizePx,
                                      .crispLines = true,
                                      .labelsAfterLines = true,
                                      .eastingLabelY = 14,
                                      .eastingLabelsFromX = 90,
                                      .eastingLabelsToX = w - 100,
                                      .northingLabelsFromY = 50,
                                      .northingLabelsToY = h - 40});
  sink.Marks(marks);
}

// The line between a pair's two sessions (under the dots; centimetres apart, it shows only
// when zoomed right in), or its difference vector from session 1, magnified (over them).
void CHaritaView::PaintLinks(Sink& sink, bool vectors) const {
  const double w = m_viewport.Width(), h = m_viewport.Height();
  int arrowheads = 0;
  for (bool failing : {false, true}) {
    for (const jobmap::MapLink& link : m_model.Links()) {
      if (link.failing != failing) continue;
      const MapDot& a = m_model.Dots()[link.first];
      const MapDot& b = m_model.Dots()[link.second];
      const QPointF from = ToQPoint(m_viewport.ToScreen(a.At()));
      const QPointF to = ToQPoint(
          m_viewport.ToScreen(vectors ? MapModel::VectorEnd(a, b, m_magnification) : b.At()));
      const QPointF along = to - from;
      const double length = std::hypot(along.x(), along.y());
      if (!(length > 1) || !SegmentMayShow(from, to, w, h)) continue;
      const Rgb colour = failing ? kFail : vectors ? kVector : kLink;
      sink.Line(from, to, Pen{colour, failing ? 1.5 : 1}, KeyKind::Pair, link.nPairNo);
      if (!vectors || length < kArrowheadFromPx || arrowheads >= kMostArrowheads) continue;
      ++arrowheads;
      const QPointF u = along / length, n(-u.y(), u.x());
      const std::array<QPointF, 3> head{to, to - 7 * u + 2.5 * n, to - 7 * u - 2.5 * n};
      sink.Polygon(head, std::nullopt, colour);
    }
  }
}

void CHaritaView::PaintMarked(Sink& sink) const {
  for (std::uint32_t i : m_tickedDots) {
    const MapDot& d = m_model.Dots()[i];
    sink.Circle(ToQPoint(m_viewport.ToScreen(d.At())), kTickRadius, Pen{kTick, 2}, std::nullopt, KeyKind::Point, d.nIndex,
                d.nFileNumber);
  }
  for (std::uint32_t i : m_selectedDots) {
    const MapDot& d = m_model.Dots()[i];
    sink.Circle(ToQPoint(m_viewport.ToScreen(d.At())), kSelectedRadius, Pen{kInk, 2},
                d.failing ? kFail : FileColour(d.fileSlot), KeyKind::Point, d.nIndex, d.nFileNumber);
  }
}

// Names right of their dots, else left, where they overlap no name (and no furniture)
// placed before: selected first, then failing, then the rest.
void CHaritaView::PaintNames(Sink& sink) const {
  const int w = m_viewport.Width(), h = m_viewport.Height();
  drawing::LabelSpace space(w, h);
  space.TryPlace(0, 0, w, 18);  // the eastings' labels
  for (const QRectF& r : m_furniture) space.TryPlace(r.left(), r.top(), std::min(r.right(), w * 1.0), std::min(r.bottom(), h * 1.0));
  std::vector<drawing::NameSpot> spots;  // at most kMostNamedDots and the selected ones
  auto spot = [&](std::uint32_t i) {
    const MapDot& d = m_model.Dots()[i];
    const ScreenPoint s = m_viewport.ToScreen(d.At());
    spots.push_back({{s.sx, s.sy}, NameOf(d), d.failing, d.nIndex, d.nFileNumber});
  };
  const GridBounds seen = m_viewport.Visible();
  for (std::uint32_t i : m_selectedDots) {
    if (seen.Contains(m_model.Dots()[i].At())) spot(i);
  }
  for (std::uint32_t i : m_visibleFailing) spot(i);
  for (std::uint32_t i : m_visibleDots) spot(i);
  const QFontMetricsF metrics(FontOf(kNameSizePx, false));
  const auto measure = [&](const std::string& utf8) {
    return drawing::TextExtent{metrics.horizontalAdvance(QString::fromStdString(utf8)), metrics.ascent(), metrics.descent()};
  };
  std::vector<drawing::Mark> marks;
  drawing::AddNames(marks, spots, drawing::NameStyle{.fontPx = kNameSizePx, .gapPx = 7, .raisePx = 4, .ink = kInk, .fail = kFail},
                    &space, measure);
  sink.Marks(marks);
}

// The furniture sits in the corners, inside the margin that showing everything keeps free.
void CHaritaView::PaintFurniture(Sink& sink) const {
  const double w = m_viewport.Width(), h = m_viewport.Height();
  m_furniture.clear();
  const QString zone = QStringLiteral("TM") + QString::fromStdString(m_zone);
  const QRectF zoneBox(8, 8, QFontMetricsF(FontOf(14, true)).horizontalAdvance(zone) + 16, 26);
  sink.Rect(zoneBox, Pen{kFrame, 1}, kWhite);
  sink.Text({16, 27}, zone, Anchor::Start, 14, kInk, true);
  m_furniture.push_back(zoneBox);
  if (m_model.Empty()) return;

  std::vector<drawing::Mark> marks;
  const double tip = 30;
  drawing::AddNorthArrow(marks, {w - 26, tip},
                         drawing::NorthArrowStyle{.halfWidthPx = 8, .lengthPx = 28, .notchPx = 7, .letterGapPx = 5,
                                                  .letterPx = 14, .ink = kInk, .paper = kWhite});
  sink.Marks(marks);
  m_furniture.emplace_back(w - 26 - 12, 8, 24, tip + 28 - 4);

  // The scale bar on a box of its own, its length after it.
  const QFontMetricsF small(FontOf(kLabelSizePx + 1, false));
  const drawing::ScaleBar bar = drawing::ScaleBarFor(m_viewport.PixelsPerMetre(), std::clamp(w / 4, 20.0, 160.0));
  const QRectF barBox(8, h - 30, bar.pixels + small.horizontalAdvance(QString::fromStdString(bar.text)) + 30, 22);
  sink.Rect(barBox, Pen{kFrame, 1}, kWhite);
  marks.clear();
  drawing::AddScaleBar(marks, bar, {16, h - 22},
                       drawing::ScaleBarStyle{.heightPx = 6, .label = drawing::ScaleBarStyle::Label::Right,
                                              .labelPx = kLabelSizePx + 1, .ink = kInk, .paper = kWhite});
  sink.Marks(marks);
  m_furniture.push_back(barBox);

  if (!m_model.Links().empty()) {
    const QString note = QStringLiteral("Fark vektörleri %1× büyütülmüş").arg(m_magnification, 0, 'f', 0);
    const QRectF noteBox(w - small.horizontalAdvance(note) - 20, h - 30, small.horizontalAdvance(note) + 12, 22);
    sink.Rect(noteBox, Pen{kFrame, 1}, kWhite);
    sink.Text({w - 14, h - 14}, note, Anchor::End, kLabelSizePx + 1, kInk);
    m_furniture.push_back(noteBox);
  }
}

// ---- painting and input ------------------------------------------------------------------

void CHaritaView::paintEvent(QPaintEvent*) {
  Sync();
  const double ratio = devicePixelRatioF();
  const QSize device(std::max(1, static_cast<int>(std::lround(width() * ratio))),
                     std::max(1, static_cast<int>(std::lround(height() * ratio))));
  if (m_frame.size() != device || m_frame.devicePixelRatio() != ratio) {
    m_frame = QImage(device, QImage::Format_ARGB32_Premultiplied);
    m_frame.setDevicePixelRatio(ratio);
    m_frameStale = true;
  }
  if (m_frameStale) {
    RenderInto(m_frame);
    m_frameStale = false;
  }
  QPainter p(this);
  p.drawImage(QPointF(0, 0), m_frame);
}

void CHaritaView::resizeEvent(QResizeEvent*) {
  Sync();
  update();
}

void CHaritaView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  m_pressed = true;
  m_dragging = false;
  m_pressPos = m_lastPos = event->position();
}

void CHaritaView::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pressed) return QWidget::mouseMoveEvent(event);
  const QPointF pos = event->position();
  if (!m_dragging && QLineF(m_pressPos, pos).length() <= kDragPx) return;
  if (!m_dragging) {
    m_dragging = true;
    setCursor(Qt::ClosedHandCursor);
  }
  MapViewport v = Viewport();
  v.PanBy(pos.x() - m_lastPos.x(), pos.y() - m_lastPos.y());
  m_lastPos = pos;
  MoveView(v);
}

void CHaritaView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_pressed) return QWidget::mouseReleaseEvent(event);
  m_pressed = false;
  if (m_dragging) {
    m_dragging = false;
    unsetCursor();
    MapViewport v = Viewport();
    v.PanBy(event->position().x() - m_lastPos.x(), event->position().y() - m_lastPos.y());
    MoveView(v);
    return;
  }
  const auto dot = DotAt(m_pressPos);
  if (!dot) return;
  const MapDot d = m_model.Dots()[*dot];
  SetSelectedPoints({d.nIndex});
  emit PointClicked(d.nIndex, d.nFileNumber);
}

void CHaritaView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  MapViewport v = Viewport();
  v.ZoomAt({event->position().x(), event->position().y()}, std::pow(kWheelZoomPerNotch, notches));
  MoveView(v);
  event->accept();
}

void CHaritaView::keyPressEvent(QKeyEvent* event) {
  MapViewport v = Viewport();
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return ZoomIn();
    case Qt::Key_Minus:
      return ZoomOut();
    case Qt::Key_Home:
      return ShowAll();
    case Qt::Key_Left:
      v.PanBy(kKeyPanPx, 0);
      break;
    case Qt::Key_Right:
      v.PanBy(-kKeyPanPx, 0);
      break;
    case Qt::Key_Up:
      v.PanBy(0, kKeyPanPx);
      break;
    case Qt::Key_Down:
      v.PanBy(0, -kKeyPanPx);
      break;
    default:
      return QWidget::keyPressEvent(event);
  }
  MoveView(v);
}
