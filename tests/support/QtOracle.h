#pragma once
// The widget tests' form of VELMIRA_ORACLE_MISSING (support/Portable.h): a missing oracle
// is a skip by hand and a failure when CI is set; on Windows, where the oracles are Linux
// programs, always a skip.
#include <QtTest>

#ifdef _WIN32
#define VELMIRA_QT_ORACLE_MISSING(why) \
  { QSKIP(why); }
#else
#define VELMIRA_QT_ORACLE_MISSING(why)                                    \
  {                                                                       \
    if (qEnvironmentVariableIsSet("CI")) {                                \
      QFAIL("CI runs every oracle, and this one is missing: " why);      \
    } else {                                                              \
      QSKIP(why);                                                         \
    }                                                                     \
  }
#endif
