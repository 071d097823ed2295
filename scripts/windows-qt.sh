#!/usr/bin/env bash
# Qt 6 for 64-bit Windows, cross-built from Debian's own qt6-base source package with
# Debian's MinGW-w64, and installed into a cache folder outside the clone:
#
#   ${XDG_CACHE_HOME:-~/.cache}/velmira-build/qt-<version>-mingw-<key>
#
# The key is made from the source package's version, the configure line, the compiler and
# the toolchain below, so a later run with the same inputs reuses the folder and any change
# builds again. Only what Velmira links is built: Core, Gui, Widgets, Test and the windows
# and offscreen platform plugins. Prints the prefix on its last line.
#
# Needs: the deb-src entry and the packages that scripts/windows.sh installs.
set -euo pipefail

cache=${XDG_CACHE_HOME:-$HOME/.cache}/velmira-build
mkdir -p "$cache"
exec 9>"$cache/qt.lock"
flock 9  # two runs at once would build into the same folder

version=$(apt-cache showsrc qt6-base 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n1)
[ -n "$version" ] || { echo "windows-qt.sh: no qt6-base source package (is deb-src set up?)" >&2; exit 1; }
upstream=${version%%+*}

# The tablet header (wintab) and Qt's SQLite copy are not in Debian's source; Velmira
# builds its own SQLite. Direct2D stays on: Qt compiles its DirectWrite font engine only
# with it.
configure_args=(
  -release -shared -xplatform win32-g++ -qt-host-path /usr
  -no-opengl -no-dbus
  -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
  -no-feature-printsupport -no-feature-tabletevent -no-feature-vulkan -no-feature-zstd
  -qt-zlib -qt-libpng -no-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype
  -nomake examples -nomake tests
)
# Qt links the compiler's runtime as DLLs (libstdc++-6, libgcc_s_seh-1, libwinpthread-1);
# Velmira's programs link the same DLLs, so a process holds one C++ runtime.
toolchain_text='set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
'
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n1)
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
key=$(printf '%s\n' "$version" "${configure_args[*]}" "$compiler" "$host_qt" "$toolchain_text" | sha256sum | cut -c1-12)
prefix=$cache/qt-$upstream-mingw-$key

# The notices of the libraries that Qt's DLLs hold copies of (FreeType, HarfBuzz, libpng,
# zlib, PCRE2, ...): their licences ask that the notices ship with the program.
add_notices() {
  local src=$1 notices=$prefix/licenses/third-party
  mkdir -p "$notices"
  local files=(
    freetype/docs/FTL.TXT harfbuzz-ng/COPYING libpng/LICENSE zlib/LICENSE pcre2/LICENCE
    pcre2/LICENCE-SLJIT double-conversion/LICENSE md4c/LICENSE.md easing/LICENSE
    tinycbor/LICENSE sha3/BRG_ENDIAN_LICENSE sha3/CC0_LICENSE blake2/COPYING rfc6234/LICENSE
    icc/LICENSE.txt
  )
  local file base
  for file in "${files[@]}"; do
    base=$(basename "$file")
    base=${base%.txt}
    base=${base%.TXT}
    cp "$src/src/3rdparty/$file" "$notices/${file%%/*}-${base%.md}.txt"
  done
  cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$notices/mingw-w64-runtime-copyright.txt"
}

if [ -f "$prefix/.complete" ]; then
  if [ ! -d "$prefix/licenses/third-party" ]; then
    notices_work=$(mktemp -d)
    (cd "$notices_work" && apt-get source -qq qt6-base >/dev/null 2>&1 || true)
    add_notices "$(ls -d "$notices_work"/qt6-base-*/ | head -n1)"
    rm -rf "$notices_work"
  fi
  echo "Qt for Windows: cached in $prefix" >&2
  echo "$prefix"
  exit 0
fi

start=$(date +%s)
work=$cache/qt-work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "Qt for Windows: building $version into $prefix (about 30 to 50 minutes on two cores)" >&2
(cd "$work" && apt-get source -qq qt6-base 2>&1 | grep -v 'unsandboxed' >&2 || true)
src=$(ls -d "$work"/qt6-base-*/ | head -n1)
[ -f "$src/configure" ] || { echo "windows-qt.sh: the source package did not unpack" >&2; exit 1; }
printf '%s' "$toolchain_text" >"$work/toolchain.cmake"

mkdir -p "$work/build"
(cd "$work/build" && "$src/configure" -prefix "$prefix" "${configure_args[@]}" -- \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >"$work/configure.log" 2>&1 ||
  { tail -n 40 "$work/configure.log" >&2; echo "windows-qt.sh: configure failed ($work/configure.log)" >&2; exit 1; }
cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 ||
  { grep -m 20 -B 2 -A 10 'error' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2
    echo "windows-qt.sh: build failed ($work/build.log)" >&2; exit 1; }
cmake --install "$work/build" >"$work/install.log" 2>&1 ||
  { tail -n 20 "$work/install.log" >&2; echo "windows-qt.sh: install failed" >&2; exit 1; }

# What the installer ships beside the DLLs: Qt's licence texts and Turkish translations.
mkdir -p "$prefix/licenses" "$prefix/translations"
cp "$src/LICENSES/LGPL-3.0-only.txt" "$src/LICENSES/GPL-3.0-only.txt" "$prefix/licenses/"
cp /usr/share/qt6/translations/qtbase_tr.qm "$prefix/translations/"
add_notices "$src"
rm -rf "$work"
touch "$prefix/.complete"
echo "Qt for Windows: built in $(($(date +%s) - start)) s, $(du -sh "$prefix" | cut -f1) in $prefix" >&2
echo "$prefix"
