// The icon installed for the desktop (the hand-written SVG, as rsvg-convert renders it at
// build time) against the mark the program draws for its own window: a changed drawing on
// either side shows as a second icon in the task bar.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app/Artwork.h"

namespace {

// Over white, so that the colour a transparent pixel happens to hold plays no part.
QImage OnWhite(const QImage& image) {
  QImage out(image.size(), QImage::Format_RGB32);
  out.fill(Qt::white);
  QPainter p(&out);
  p.drawImage(0, 0, image);
  return out;
}

// The mean difference of the colour channels, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb pa = a.pixel(x, y);
      const QRgb pb = b.pixel(x, y);
      sum += std::abs(qRed(pa) - qRed(pb)) + std::abs(qGreen(pa) - qGreen(pb)) + std::abs(qBlue(pa) - qBlue(pb));
    }
  }
  return sum / (3.0 * a.width() * a.height());
}

}  // namespace

class IconTest : public QObject {
  Q_OBJECT

 private slots:
  void installedIconIsTheProgramsMark_data() {
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48}) QTest::addRow("%dx%d", size, size) << size;
  }
  void installedIconIsTheProgramsMark() {
    QFETCH(int, size);
    const QString file =
        QStringLiteral(VELMIRA_ICON_DIR "/%1x%1/tr.velmira.Velmira.png").arg(size);
    const QImage installed(file);
    QVERIFY2(!installed.isNull(), qPrintable(file));
    QCOMPARE(installed.size(), QSize(size, size));
    const QImage drawn = ApplicationIcon().pixmap(QSize(size, size)).toImage();
    QCOMPARE(drawn.size(), QSize(size, size));

    const double difference = MeanDifference(OnWhite(installed), OnWhite(drawn));
    // The two renderers' antialiasing differs by under one level on average; the mark
    // mirrored, by about forty.
    QVERIFY2(difference < kSameMark, qPrintable(QString::number(difference)));
    const double mirrored = MeanDifference(OnWhite(installed), OnWhite(drawn.mirrored(true, false)));
    QVERIFY2(mirrored > kSameMark, qPrintable(QString::number(mirrored)));
  }

 private:
  static constexpr double kSameMark = 4.0;
};

QTEST_MAIN(IconTest)
#include "icon_test.moc"
