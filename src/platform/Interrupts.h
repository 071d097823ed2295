#pragma once
// Files that must not outlive a run stopped by Ctrl+C or a termination request: the
// handler removes every registered path (files first, then folders, newest first) and
// ends the process by the same signal.
#include <filesystem>

// Installs the handler for SIGINT, SIGTERM, SIGHUP and SIGPIPE; on Windows for the
// console's Ctrl+C, Ctrl+Break, close, log-off and shut-down events. Later calls do nothing.
void InstallInterruptCleanup();

// Registers path for removal on interrupt; returns an id for UnregisterOnInterrupt.
// Safe to call whether or not the handler is installed.
int RemoveOnInterrupt(const std::filesystem::path& path);
void UnregisterOnInterrupt(int id);
