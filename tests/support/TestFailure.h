#pragma once
// Fails the running test from code shared by GoogleTest and Qt Test tests.
#include <string>

void FailTest(const std::string& why);
