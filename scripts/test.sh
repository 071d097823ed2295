#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test twice: once in the
# normal build under the C locale, once in the AddressSanitizer and
# UndefinedBehaviorSanitizer build under a Turkish locale. Between the two, the Debian
# package is built and checked (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)

echo "== build (RelWithDebInfo) =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMIRA_GUI=ON -DVELMIRA_BENCH=ON >/dev/null
cmake --build build -j "$jobs"
echo "== tests, C locale =="
(cd build && LC_ALL=C LANG=C ctest --output-on-failure -j "$jobs")
echo "== Debian package =="
bash scripts/check-package.sh

echo "== build (sanitizers) =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMIRA_SANITIZE=ON -DVELMIRA_GUI=ON -DVELMIRA_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
echo "== tests, sanitizers, tr_TR.UTF-8 locale =="
(cd build-asan && LC_ALL=tr_TR.UTF-8 LANG=tr_TR.UTF-8 ctest --output-on-failure -j "$jobs")

# The Windows build of the core and the command line: cross-built, tested under Wine and
# compared with this build byte for byte. It installs MinGW-w64, Wine and NSIS if missing.
echo "== Windows build, tests under Wine =="
bash scripts/windows.sh
