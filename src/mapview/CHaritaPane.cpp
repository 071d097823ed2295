#include "mapview/CHaritaPane.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "mapview/CHaritaView.h"

CHaritaPane::CHaritaPane(QWidget* parent) : QWidget(parent), m_map(new CHaritaView(this)) {
  auto* zoomIn = new QToolButton(this);
  zoomIn->setText(QStringLiteral("+"));
  zoomIn->setToolTip(QStringLiteral("Yakınlaştır"));
  auto* zoomOut = new QToolButton(this);
  zoomOut->setText(QStringLiteral("−"));
  zoomOut->setToolTip(QStringLiteral("Uzaklaştır"));
  auto* all = new QPushButton(QStringLiteral("Tümünü göster"), this);

  m_magnification = new QSpinBox(this);
  m_magnification->setRange(static_cast<int>(CHaritaView::kLeastMagnification),
                            static_cast<int>(CHaritaView::kMostMagnification));
  m_magnification->setValue(static_cast<int>(std::lround(m_map->Magnification())));
  m_magnification->setSuffix(QStringLiteral("×"));
  m_magnification->setToolTip(QStringLiteral("Oturum farkları haritada bu kadar büyütülerek çizilir"));
  auto* magnificationLabel = new QLabel(QStringLiteral("Fark büyütme:"), this);
  magnificationLabel->setBuddy(m_magnification);

  m_zones = new QComboBox(this);
  m_zones->setToolTip(QStringLiteral("Gösterilen dilim"));
  m_zones->hide();

  m_legend = new QLabel(this);
  m_legend->setTextFormat(Qt::RichText);

  auto* row = new QHBoxLayout;
  row->setContentsMargins(4, 4, 4, 0);
  row->addWidget(zoomIn);
  row->addWidget(zoomOut);
  row->addWidget(all);
  row->addSpacing(12);
  row->addWidget(magnificationLabel);
  row->addWidget(m_magnification);
  row->addSpacing(12);
  row->addWidget(m_zones);
  row->addStretch(1);
  row->addWidget(m_legend);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addLayout(row);
  layout->addWidget(m_map, 1);

  connect(zoomIn, &QToolButton::clicked, m_map, &CHaritaView::ZoomIn);
  connect(zoomOut, &QToolButton::clicked, m_map, &CHaritaView::ZoomOut);
  connect(all, &QPushButton::clicked, m_map, &CHaritaView::ShowAll);
  connect(m_magnification, &QSpinBox::valueChanged, m_map, [this](int value) { m_map->SetMagnification(value); });
  connect(m_zones, &QComboBox::activated, m_map,
          [this](int i) { m_map->SetZone(m_zones->itemData(i).toString().toStdString()); });
  connect(m_map, &CHaritaView::ZonesChanged, this, &CHaritaPane::FillZones);
  connect(m_map, &CHaritaView::ModelChanged, this, &CHaritaPane::FillLegend);
}

void CHaritaPane::FillLegend() {
  QString html;
  for (const CHaritaView::LegendEntry& e : m_map->Legend()) {
    html += QStringLiteral("<span style=\"color:%1\">\u25CF</span>&nbsp;%2&nbsp;&nbsp; ")
                .arg(e.colour.name(), e.text.toHtmlEscaped());
  }
  m_legend->setText(html);
}

void CHaritaPane::FillZones() {
  const QSignalBlocker quiet(m_zones);
  m_zones->clear();
  for (const std::string& zone : m_map->Zones()) {
    const QString meridian = QString::fromStdString(zone);
    m_zones->addItem(QStringLiteral("TM") + meridian, meridian);
  }
  m_zones->setCurrentIndex(m_zones->findData(QString::fromStdString(m_map->Zone())));
  m_zones->setVisible(m_map->Zones().size() > 1);
}
