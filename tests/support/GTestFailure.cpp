#include <gtest/gtest.h>

#include "TestFailure.h"

void FailTest(const std::string& why) { ADD_FAILURE() << why; }
