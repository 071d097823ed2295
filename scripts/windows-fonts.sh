#!/usr/bin/env bash
# Gives a Wine prefix the sans-serif system font that Windows has: Debian's Wine 8 does
# not load its own Tahoma (fonts-wine, /usr/share/wine/fonts) by itself, and Qt's windows
# platform then falls back to a serif face for every widget. Fonts in the prefix's
# windows\Fonts folder are loaded. Real Windows needs nothing of this.
#
#   scripts/windows-fonts.sh WINEPREFIX
set -euo pipefail
fonts=${1:?usage: windows-fonts.sh WINEPREFIX}/drive_c/windows/Fonts
mkdir -p "$fonts"
for face in tahoma.ttf tahomabd.ttf; do
  [ -f "/usr/share/wine/fonts/$face" ] || { echo "windows-fonts.sh: fonts-wine is not installed" >&2; exit 1; }
  cp -n "/usr/share/wine/fonts/$face" "$fonts/"
done
