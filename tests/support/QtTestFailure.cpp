#include <QtTest>

#include "TestFailure.h"

void FailTest(const std::string& why) { QTest::qFail(why.c_str(), __FILE__, __LINE__); }
