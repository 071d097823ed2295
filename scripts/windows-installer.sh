#!/usr/bin/env bash
# The Windows installer of Velmira from a stage folder (what `cmake --install` of the
# Windows build puts there):
#
#   scripts/windows-installer.sh STAGE VERSION OUT.exe
#
# Writes the install and uninstall lists of every file in STAGE for
# packaging/windows/velmira.nsi, so the uninstaller deletes exactly what was installed,
# and runs makensis. Prints OUT.exe's path on its last line.
set -euo pipefail

fail() { echo "windows-installer.sh: $*" >&2; exit 1; }
[ $# -eq 3 ] || { echo "usage: $0 STAGE VERSION OUT.exe" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
[ -d "$1" ] || fail "no stage folder $1"
stage=$(cd "$1" && pwd)
version=$2
mkdir -p "$(dirname "$3")"
# makensis works in the script's folder, so every path it gets is absolute.
out=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
command -v makensis >/dev/null || fail "makensis is missing (Debian package nsis)"
[[ $version =~ ^[0-9A-Za-z.+~-]+$ ]] || fail "VERSION may hold only letters, digits and . + ~ -: '$version'"
[ -f "$stage/velmira.exe" ] || fail "$stage has no velmira.exe"
[ ! -e "$stage/uninstall.exe" ] || fail "$stage holds uninstall.exe, the installer's own name"
# Quotes and dollars would end or expand the NSIS strings the paths are written into.
case $stage in *[\"\$]*) fail "the stage path holds \" or \$: $stage" ;; esac

cd "$stage"
others=$(find . -mindepth 1 ! -type d ! -type f -printf '  %P\n')
[ -z "$others" ] || fail "only files and folders can be installed; not these:"$'\n'"$others"
mapfile -d '' files < <(find . -type f -printf '%P\0' | LC_ALL=C sort -z)
mapfile -d '' dirs < <(find . -mindepth 1 -type d -printf '%P\0' | LC_ALL=C sort -z)

# Names Windows cannot hold, or that would meet in its case-blind file system.
reserved='^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\..*)?$'
for path in "${files[@]}" "${dirs[@]}"; do
  [[ ! $path =~ [[:cntrl:]] ]] || fail "the stage holds a name with a control character: ${path@Q}"
  IFS=/ read -ra parts <<<"$path"
  for part in "${parts[@]}"; do
    lower=${part,,}
    if [[ $part == *[\<\>:\"\\\|\?\*\$]* || $part == *[.\ ] || $lower =~ $reserved ]]; then
      fail "the stage's $path is no name for Windows (or NSIS): '$part'"
    fi
  done
done
clash=$(printf '%s\n' "${files[@]}" "${dirs[@]}" | LC_ALL=C tr '[:upper:]' '[:lower:]' | LC_ALL=C sort | uniq -d)
[ -z "$clash" ] || fail "these names differ only in case, which Windows cannot keep apart: $clash"

bytes=$(find . -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
lists=$(mktemp -d)
trap 'rm -rf "$lists"' EXIT
win() { local p=${1//\//\\}; printf '%s' "\$INSTDIR${p:+\\$p}"; }
{
  echo "; Written by scripts/windows-installer.sh from $stage"
  echo "!define STAGE_SIZE_KB $(((bytes + 1023) / 1024))"
  echo '!macro VELMIRA_INSTALL_FILES'
  # SetOutPath makes each folder, an empty one too.
  for d in '' "${dirs[@]}"; do
    echo "  SetOutPath \"$(win "$d")\""
    while IFS= read -rd '' f; do
      echo "  File \"$stage/${d:+$d/}$f\""
    done < <(find "./$d" -mindepth 1 -maxdepth 1 -type f -printf '%P\0' | LC_ALL=C sort -z)
  done
  echo '!macroend'
} >"$lists/files.nsh"
{
  echo "; Written by scripts/windows-installer.sh from $stage"
  echo '!macro VELMIRA_UNINSTALL_FILES'
  for f in "${files[@]}"; do echo "  Delete \"$(win "$f")\""; done
  # Deepest first: a folder sorts before everything inside it.
  for ((i = ${#dirs[@]} - 1; i >= 0; i--)); do echo "  RMDir \"$(win "${dirs[i]}")\""; done
  echo '!macroend'
} >"$lists/unfiles.nsh"

rm -f "$out"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$lists" -DOUTFILE="$out" \
  "$root/packaging/windows/velmira.nsi"
[ -f "$out" ] || fail "makensis wrote no $out"
echo "$out"
