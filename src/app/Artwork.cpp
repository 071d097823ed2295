#include "app/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kNavy(16, 52, 110);
const QColor kSky(64, 140, 220);
const QColor kExcelGreen(30, 120, 60);
const QColor kSignalRed(200, 40, 30);

// A satellite dish and its signal arcs, the program's mark, in a square of side s.
void DrawMark(QPainter& p, qreal s) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kNavy);
  p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(s * 0.18, s * 0.45, s * 0.36, s * 0.36));
  QPen arc(Qt::white, std::max<qreal>(1.0, s * 0.07));
  arc.setCapStyle(Qt::RoundCap);
  p.setPen(arc);
  p.setBrush(Qt::NoBrush);
  for (int i = 1; i <= 2; ++i) {
    const qreal r = s * 0.2 * i;
    p.drawArc(QRectF(s * 0.36 - r, s * 0.63 - r, 2 * r, 2 * r), 10 * 16, 70 * 16);
  }
}

QPixmap Blank(int w, int h) {
  QPixmap pixmap(w, h);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A sheet with a green "X" corner: the two export commands, told apart by their badge.
// Two sessions joined by a line: the matching command and its pane share it.
void DrawMatchingMark(QPainter& p) {
  p.setPen(QPen(kSky, 2));
  p.drawLine(4, 11, 12, 5);
  p.setPen(Qt::NoPen);
  p.setBrush(kSignalRed);
  p.drawEllipse(QRectF(1, 8, 6, 6));
  p.setBrush(kNavy);
  p.drawEllipse(QRectF(9, 2, 6, 6));
}

void DrawWorkbook(QPainter& p, const QString& badge) {
  p.setPen(QPen(Qt::darkGray, 1));
  p.setBrush(Qt::white);
  p.drawRect(2, 1, 11, 13);
  p.setPen(QPen(Qt::lightGray, 1));
  for (int y = 4; y < 14; y += 3) p.drawLine(3, y, 12, y);
  p.setPen(Qt::NoPen);
  p.setBrush(kExcelGreen);
  p.drawRect(0, 7, 8, 8);
  p.setPen(Qt::white);
  QFont font = p.font();
  font.setPixelSize(7);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRect(0, 7, 8, 8), Qt::AlignCenter, badge);
}

}  // namespace

QIcon ToolbarIcon(ToolbarImage image) {
  QPixmap pixmap = Blank(16, 16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (image) {
    case ToolbarImage::Open:
      p.setPen(QPen(QColor(150, 110, 20), 1));
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(1, 4, 13, 10);
      p.drawRect(1, 2, 5, 2);
      p.setBrush(kNavy);
      p.setPen(Qt::NoPen);
      p.drawEllipse(QRectF(8, 7, 5, 5));
      break;
    case ToolbarImage::Copy:
      p.setPen(QPen(Qt::darkGray, 1));
      p.setBrush(Qt::white);
      p.drawRect(1, 1, 8, 10);
      p.drawRect(6, 5, 8, 10);
      break;
    case ToolbarImage::Match:
      DrawMatchingMark(p);
      break;
    case ToolbarImage::PolygonExcel:
      DrawWorkbook(p, QStringLiteral("P"));
      break;
    case ToolbarImage::DetailExcel:
      DrawWorkbook(p, QStringLiteral("D"));
      break;
    case ToolbarImage::Settings: {
      p.setPen(QPen(Qt::darkGray, 2));
      for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(45.0 * i);
        p.drawLine(0, -7, 0, 7);
        p.restore();
      }
      p.setBrush(Qt::gray);
      p.drawEllipse(QRectF(3, 3, 10, 10));
      p.setBrush(Qt::white);
      p.drawEllipse(QRectF(6, 6, 4, 4));
      break;
    }
    case ToolbarImage::Delivery:
      // A folder with a tick: everything to hand in, checked.
      p.setPen(QPen(QColor(150, 110, 20), 1));
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(1, 4, 13, 10);
      p.drawRect(1, 2, 5, 2);
      p.setPen(QPen(kExcelGreen, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF({QPointF(4.5, 9), QPointF(7, 11.5), QPointF(12, 6)}));
      break;
    case ToolbarImage::Picture:
      // A framed landscape: save the picture shown.
      p.setPen(QPen(Qt::darkGray, 1));
      p.setBrush(QColor(210, 230, 250));
      p.drawRect(1, 2, 14, 12);
      p.setPen(Qt::NoPen);
      p.setBrush(kExcelGreen);
      p.drawPolygon(QPolygonF({QPointF(2, 13), QPointF(7, 7), QPointF(10, 10), QPointF(12, 8), QPointF(14, 13)}));
      p.setBrush(QColor(240, 200, 80));
      p.drawEllipse(QPointF(11, 5), 1.8, 1.8);
      break;
    case ToolbarImage::Criteria:
      // A sheet of limits with a tick: the regulation's rules, not the program's settings.
      p.setPen(QPen(Qt::darkGray, 1));
      p.setBrush(Qt::white);
      p.drawRect(2, 1, 11, 14);
      p.setPen(QPen(kNavy, 1));
      for (int y = 4; y < 13; y += 3) p.drawLine(4, y, 8, y);
      p.setPen(QPen(kExcelGreen, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF({QPointF(9, 9), QPointF(11, 11.5), QPointF(15, 5)}));
      break;
    case ToolbarImage::About:
      p.setPen(Qt::NoPen);
      p.setBrush(kSky);
      p.drawEllipse(QRectF(1, 1, 14, 14));
      p.setPen(Qt::white);
      {
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
      }
      p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
      break;
  }
  return QIcon(pixmap);
}

QIcon TabIcon(TabImage image) {
  QPixmap pixmap = Blank(16, 16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (image) {
    case TabImage::JobFiles:
      p.setPen(QPen(Qt::darkGray, 1));
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(1, 3, 14, 11);
      break;
    case TabImage::Matching:
      DrawMatchingMark(p);
      break;
    case TabImage::Points:
      p.setPen(Qt::NoPen);
      p.setBrush(kNavy);
      for (QPointF c : {QPointF(4, 4), QPointF(11, 6), QPointF(6, 12)}) p.drawEllipse(c, 2.5, 2.5);
      break;
    case TabImage::Map:
      // A sheet with grid lines and two points: the map of the job.
      p.setPen(QPen(Qt::darkGray, 1));
      p.setBrush(QColor(236, 244, 236));
      p.drawRect(1, 1, 14, 14);
      p.setPen(QPen(Qt::lightGray, 1));
      p.drawLine(1, 8, 15, 8);
      p.drawLine(8, 1, 8, 15);
      p.setPen(Qt::NoPen);
      p.setBrush(kNavy);
      p.drawEllipse(QPointF(5, 5), 2, 2);
      p.setBrush(kSignalRed);
      p.drawEllipse(QPointF(11, 11), 2, 2);
      break;
    case TabImage::Differences:
      // Dots inside a dashed limit square: the pairs' differences.
      p.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(3, 3, 10, 10);
      p.setPen(Qt::NoPen);
      p.setBrush(kSky);
      for (QPointF c : {QPointF(7, 8), QPointF(9, 6), QPointF(8, 10)}) p.drawEllipse(c, 1.6, 1.6);
      p.setBrush(kSignalRed);
      p.drawEllipse(QPointF(14, 2), 1.6, 1.6);
      break;
  }
  return QIcon(pixmap);
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int s : {16, 32, 48}) {
    QPixmap pixmap = Blank(s, s);
    QPainter p(&pixmap);
    DrawMark(p, s);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QPixmap SplashPicture() {
  constexpr int kWidth = 481;
  constexpr int kHeight = 321;
  QPixmap pixmap(kWidth, kHeight);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, kHeight);
  sky.setColorAt(0, kNavy);
  sky.setColorAt(1, kSky);
  p.fillRect(pixmap.rect(), sky);
  // A faint grid of the projection zone behind the title.
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  for (int x = 20; x < kWidth; x += 40) p.drawLine(x, 0, x, kHeight);
  for (int y = 20; y < kHeight; y += 40) p.drawLine(0, y, kWidth, y);
  p.save();
  p.translate(40, 40);
  DrawMark(p, 96);
  p.restore();
  p.setPen(Qt::white);
  QFont title = p.font();
  title.setPixelSize(44);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(160, 40, 300, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmira"));
  QFont sub = p.font();
  sub.setPixelSize(16);
  sub.setBold(false);
  p.setFont(sub);
  p.drawText(QRect(160, 100, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("V 1.4 - Pelinor"));
  p.drawText(QRect(40, 200, 400, 60), Qt::AlignLeft | Qt::TextWordWrap,
             QStringLiteral("GNSS iş dosyaları, nokta eşleştirme ve kadastro formları"));
  p.setPen(QPen(Qt::white, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(pixmap.rect().adjusted(1, 1, -2, -2));
  return pixmap;
}

QPixmap MountpointPicture() {
  QPixmap pixmap = Blank(30, 30);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath triangle;
  triangle.moveTo(15, 2);
  triangle.lineTo(28, 27);
  triangle.lineTo(2, 27);
  triangle.closeSubpath();
  p.setPen(QPen(QColor(150, 110, 20), 1.5));
  p.setBrush(QColor(250, 210, 60));
  p.drawPath(triangle);
  p.setPen(Qt::black);
  QFont font = p.font();
  font.setPixelSize(16);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRect(2, 8, 26, 20), Qt::AlignCenter, QStringLiteral("!"));
  return pixmap;
}
