#pragma once
// The map with its controls: a row of zoom buttons, "Tümünü göster", the difference
// vectors' magnification and, when the job spans several zones, the zone to show.
#include <QWidget>

class CHaritaView;
class QComboBox;
class QLabel;
class QSpinBox;

class CHaritaPane : public QWidget {
  Q_OBJECT

 public:
  explicit CHaritaPane(QWidget* parent = nullptr);

  CHaritaView* Map() const { return m_map; }
  QSpinBox* MagnificationBox() const { return m_magnification; }
  // Hidden while the job has fewer than two zones.
  QComboBox* ZoneBox() const { return m_zones; }
  // The job files' colours on the map.
  QLabel* LegendLabel() const { return m_legend; }

 private:
  void FillZones();
  void FillLegend();

  CHaritaView* m_map = nullptr;
  QSpinBox* m_magnification = nullptr;
  QComboBox* m_zones = nullptr;
  QLabel* m_legend = nullptr;
};
