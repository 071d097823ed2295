#include <QtTest>
class Placeholderplot : public QObject {
  Q_OBJECT
};
QTEST_MAIN(Placeholderplot)
#include "plot_test.moc"
