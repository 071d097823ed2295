#pragma once
// Files that must not outlive a run stopped by Ctrl+C or a termination request: the
// handler removes every registered path (files first, then folders, newest first) and
// ends the process by the same signal.
#include <filesystem>

// Installs the handler for SIGINT and SIGTERM (and, where they exist, SIGHUP and
// SIGPIPE); later calls do nothing.
void InstallInterruptCleanup();

// Registers path for removal on interrupt; returns an id for UnregisterOnInterrupt.
// Safe to call whether or not the handler is installed.
int RemoveOnInterrupt(const std::filesystem::path& path);
void UnregisterOnInterrupt(int id);
