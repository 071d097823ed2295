#pragma once
// The Farklar view: the two plots of the check report, the session differences (ΔY against
// ΔX) and the height differences with the hours between the sessions, drawn on the screen
// from the very drawings the report page writes as SVG. A click on a pair's dot or column
// names the pair; the pairs selected elsewhere are ringed.
#include <QImage>
#include <QTransform>
#include <QWidget>

#include <optional>
#include <set>
#include <vector>

#include "drawing/Drawing.h"
#include "drawing/Plots.h"

class CVelmiraDoc;
struct Finding;
struct RuleProfile;

class CFarklarView : public QWidget {
  Q_OBJECT

 public:
  enum Plot { kDifferencePlot = 0, kHeightTimePlot = 1 };

  explicit CFarklarView(QWidget* pParent = nullptr);

  // Rebuilds both plots for the document as it stands. Before the first call both
  // drawings are empty and the view says there are no pairs.
  void Refresh(const CVelmiraDoc& doc, const RuleProfile& profile, const std::vector<Finding>& findings);
  // Rings these pairs (nPairNo) on both plots. Numbers not plotted are kept but show
  // nothing, so the selection may come before or after a Refresh.
  void SetSelectedPairs(std::vector<int> pairNos);
  const std::set<int>& SelectedPairs() const { return m_selected; }

  bool HasPairs() const { return !m_pairs.empty(); }
  const std::vector<PairDifference>& Pairs() const { return m_pairs; }
  const drawing::Drawing& DifferenceDrawing() const { return m_plots[kDifferencePlot]; }
  const drawing::Drawing& HeightTimeDrawing() const { return m_plots[kHeightTimePlot]; }
  // Both plots in one picture, as the view saves them to one file.
  drawing::Drawing CombinedDrawing() const;

  // The plot (kDifferencePlot or kHeightTimePlot) as the report shows it, without the
  // selection, on white at scale times its size; the null image for another number.
  QImage RenderImage(int which, double scale = 2) const;

  // Drawing pixels of a plot to the widget's pixels at its current size, as it is painted;
  // the identity for a plot not shown (no pairs, another number, no room).
  QTransform PlotTransform(int which) const;
  // The pair (nPairNo) whose mark lies under a widget point, within a few pixels.
  std::optional<int> PairAt(QPointF widgetPoint) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // A left click on a plotted pair's dot, diamond or column.
  void PairClicked(int nPairNo);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct Placement {
    QTransform transform;  // drawing pixels to widget pixels
    QRectF area;           // where the plot lies in the widget
    double scale = 0;      // 0: not shown
  };
  Placement PlacementOf(int which) const;
  void RebuildSelectionMarks();

  std::vector<PairDifference> m_pairs;
  drawing::Drawing m_plots[2];
  drawing::Drawing m_selectionMarks[2];  // rings and outlines over the selected pairs
  std::set<int> m_selected;
};
