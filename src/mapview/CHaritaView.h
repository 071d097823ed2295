#pragma once
// The map of the job on screen: the points of one zone at their grid positions, one colour
// per job file, matched pairs joined and their difference vectors magnified, failing points
// and pairs red, over a light grid with a scale bar, a north arrow and the zone. The view
// paints itself from the map model's grid index: only visible dots are touched, and when
// many are visible they are stamped straight into the image's pixels.
//
// Mouse: a left click near a dot emits PointClicked (and selects it); a drag pans; the wheel
// zooms about the cursor. Keys: + and - zoom, Home shows everything, the arrows pan.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drawing/Drawing.h"
#include "map/MapModel.h"
#include "map/MapViewport.h"
#include "rules/RuleCheck.h"

class CVelmiraDoc;

class CHaritaView : public QWidget {
  Q_OBJECT

 public:
  static constexpr double kDefaultMagnification = 1000;
  static constexpr double kLeastMagnification = 1;
  static constexpr double kMostMagnification = 100000;
  // A click counts within this many pixels of a dot's centre; a press that moves farther
  // than kDragPx before its release is a drag.
  static constexpr double kClickRadiusPx = 6;
  static constexpr double kDragPx = 4;
  // Showing everything keeps the dots this far from the edges, clear of the corners'
  // zone box, north arrow, scale bar and magnification note.
  static constexpr double kFitMarginPx = 48;

  // One job file's colour on the map, or the failing points' red.
  struct LegendEntry {
    QString text;
    QColor colour;
  };

  explicit CHaritaView(QWidget* parent = nullptr);
  ~CHaritaView() override;

  // Rebuilds the current zone's model from the document (the first zone when the current
  // one has gone). The viewport stays when the zone and its bounds do; otherwise the view
  // shows everything. Names are read from doc when painted, so the document must outlive
  // the view or be followed by another Refresh.
  void Refresh(const CVelmiraDoc& doc, const std::vector<Finding>& findings);
  // Shows another zone ("27" ... "45") of the last document, fitted; unknown zones are
  // ignored.
  void SetZone(const std::string& meridian);
  const std::string& Zone() const { return m_zone; }
  const std::vector<std::string>& Zones() const { return m_zones; }

  // Points by nIndex, pairs by nPairNo; keys not on the current map are kept for later
  // zones and simply not drawn.
  void SetSelectedPoints(std::vector<int> nIndexes);
  void SetTickedPoints(std::vector<int> nIndexes);
  void SetSelectedPairs(std::vector<int> pairNos);
  const std::vector<int>& SelectedPoints() const { return m_selectedKeys; }
  const std::vector<int>& TickedPoints() const { return m_tickedKeys; }
  const std::vector<int>& SelectedPairs() const { return m_selectedPairKeys; }

  // How many times the difference vectors are drawn longer than they are; clamped to
  // kLeastMagnification ... kMostMagnification, non-finite values ignored.
  void SetMagnification(double factor);
  double Magnification() const { return m_magnification; }

  void ShowAll();
  void ZoomIn();
  void ZoomOut();

  const jobmap::MapViewport& Viewport() const;
  // The files of the zone shown, in the file list's order, and "Hatalı" when a point fails.
  const std::vector<LegendEntry>& Legend() const { return m_legend; }
  const jobmap::MapModel& Model() const { return m_model; }
  // The dot under a widget position, within kClickRadiusPx.
  std::optional<std::uint32_t> DotAt(QPointF pos) const;

  // The view as shown, at the screen's pixel ratio.
  QImage RenderImage() const;
  // The view as shown, as marks in the widget's pixels (visible dots only), for SvgOf; the
  // legend follows in a strip below.
  drawing::Drawing CurrentDrawing() const;

  QSize sizeHint() const override { return {640, 480}; }
  QSize minimumSizeHint() const override { return {160, 120}; }

 signals:
  void PointClicked(int nIndex, int nFileNumber);
  // The list of zones or the zone shown changed (after Refresh or SetZone).
  void ZonesChanged();
  // The model was rebuilt (after Refresh or SetZone): its legend may differ.
  void ModelChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class Sink;
  class PainterSink;
  class DrawingSink;
  struct Stamps;
  void Rebuild(bool keepViewport);
  void Resolve();
  void Changed();
  void Fit() const;
  void Sync() const;
  void MoveView(const jobmap::MapViewport& to);
  void RenderInto(QImage& image) const;
  void PaintScene(Sink& sink) const;
  void PaintGrid(Sink& sink) const;
  void PaintLinks(Sink& sink, bool vectors) const;
  void PaintMarked(Sink& sink) const;
  void PaintNames(Sink& sink) const;
  void PaintFurniture(Sink& sink) const;
  void PaintLegendStrip(Sink& sink, double top) const;
  std::string NameOf(const jobmap::MapDot& dot) const;  // UTF-8

  const CVelmiraDoc* m_doc = nullptr;
  std::vector<Finding> m_findings;
  std::vector<std::string> m_zones;
  std::string m_zone;
  bool m_anyPoints = false;
  jobmap::MapModel m_model;
  // Follows the widget's size lazily: a hidden widget gets no resize events.
  mutable jobmap::MapViewport m_viewport;
  mutable bool m_followsFit = true;  // the view shows everything until the user moves it
  double m_magnification = kDefaultMagnification;
  std::vector<LegendEntry> m_legend;

  std::vector<int> m_selectedKeys, m_tickedKeys, m_selectedPairKeys;
  std::vector<std::uint32_t> m_selectedDots, m_tickedDots;  // resolved on this map

  // Mouse state.
  bool m_pressed = false;
  bool m_dragging = false;
  QPointF m_pressPos, m_lastPos;

  // Paint scratch, kept between paints so that painting allocates nothing per dot.
  mutable std::vector<std::uint32_t> m_visibleDots, m_visibleFailing;
  mutable std::vector<QRectF> m_furniture;  // boxes names keep out of
  mutable std::unique_ptr<Stamps> m_stamps;
  mutable QImage m_frame;
  mutable bool m_frameStale = true;
};
