#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/, installed under /usr, with
# Debian's hardening flags, packed by CPack. The build's own output goes to standard error;
# standard output is the path of the .deb alone, for scripts.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2

# The flags Debian builds its own packages with (stack protector, fortified calls, full
# RELRO); CMake does not read CPPFLAGS, so they travel with the compiler flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags"
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"

# Only what the package holds is built: the tests and benchmarks are the normal build's.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVELMIRA_GUI=ON -DVELMIRA_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >&2
cmake --build build-package -j "$(nproc)" --target velmira velmira-cli velmira_data velmira_changelog >&2
rm -f build-package/velmira_*.deb
(cd build-package && cpack -G DEB) >&2
realpath build-package/velmira_*.deb
