#!/usr/bin/env bash
# Installs everything the build, the tests, the benchmarks and the tools need on a
# fresh Debian machine. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsqlite3-dev sqlite3
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-xlrd python3-olefile
  libreoffice-calc-nogui poppler-utils
  xvfb xauth imagemagick
  locales proj-bin
  libxml2-utils gdal-bin chromium fonts-dejavu-core
  librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream shared-mime-info man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests also run under a Turkish locale, where the C library's number
# parsing and printing change meaning.
if ! locale -a 2>/dev/null | grep -qi '^tr_TR\.utf-\?8$'; then
  "${sudo_cmd[@]}" sed -i 's/^# *\(tr_TR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^tr_TR.UTF-8 UTF-8' /etc/locale.gen || echo 'tr_TR.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
