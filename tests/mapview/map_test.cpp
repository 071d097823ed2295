#include <QtTest>
class Placeholdermap : public QObject {
  Q_OBJECT
};
QTEST_MAIN(Placeholdermap)
#include "map_test.moc"
