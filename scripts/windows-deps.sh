#!/usr/bin/env bash
# Installs the Windows cross build's tools from Debian (MinGW-w64, Wine, NSIS, Tcl for
# SQLite's amalgamation) and fetches Debian's SQLite source package into DEST.
# Safe to run again: it installs and fetches only what is missing.
#
#   scripts/windows-deps.sh DEST
set -euo pipefail
dest=${1:?usage: windows-deps.sh DEST}

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 nsis tcl dpkg-dev googletest cmake
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Debian's source packages: one deb-src entry for bookworm main beside the binary ones.
src_list=/etc/apt/sources.list.d/velmira-deb-src.sources
need_update=0
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
    'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    "${sudo_cmd[@]}" tee "$src_list" >/dev/null
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ "$need_update" = 1 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mkdir -p "$dest"
if ! ls -d "$dest"/sqlite3-*/ >/dev/null 2>&1; then
  (cd "$dest" && apt-get source -qq sqlite3 >/dev/null)
fi
