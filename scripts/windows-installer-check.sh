#!/usr/bin/env bash
# The round trip of the Windows installer in a fresh Wine prefix:
#
#   scripts/windows-installer-check.sh SETUP.exe STAGE
#
# STAGE is the folder the installer was made from. Two rounds:
#  1. `setup /S`: every file of STAGE in Program Files\Velmira, byte for byte, and nothing
#     else but uninstall.exe; the Start menu shortcut, no desktop shortcut; the .tsj
#     association and the uninstall key; the program itself (start_installed_program);
#     then the uninstall key's QuietUninstallString, after which nothing is left.
#  2. Installed again, then `setup /S /DESKTOP /D=C:\Ölçüm\Velmira` over it, into a folder
#     holding a file of the user's: the first installation is removed, the desktop shortcut
#     is made; .tsj is then given to another program, and after `uninstall /S` the user's
#     file and the other program's .tsj are still there and all of Velmira is gone.
# One line per check; exits non-zero at the first failure.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 SETUP.exe STAGE" >&2; exit 2; }
[ -f "$1" ] || { echo "no $1" >&2; exit 2; }
[ -f "$2/velmira.exe" ] || { echo "$2 is no stage folder (no velmira.exe)" >&2; exit 2; }
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
stage=$(cd "$2" && pwd)
version=
[[ $(basename "$setup") =~ ^velmira-(.+)-setup\.exe$ ]] && version=${BASH_REMATCH[1]}
for tool in wine wineboot wineserver iconv cmp xxd; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmira-setup-check.XXXXXX")
export WINEPREFIX=$tmp/prefix WINEDEBUG=-all
# No Mono or Gecko downloads, and no menu entries on the host for the shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A home of its own, so the prefix's Desktop and Documents do not link to the real ones.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
mkdir -p "$HOME"
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ "${KEEP_PREFIX:-0}" = 1 ]; then echo "prefix kept: $WINEPREFIX"; else rm -rf "$tmp"; fi
}
trap cleanup EXIT

ok() { echo "ok    $*"; }
fail() { echo "FAIL  $*" >&2; exit 1; }

drive_c=$WINEPREFIX/drive_c
programs="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
public_desktop=$drive_c/users/Public/Desktop
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmira'
classes='HKLM\Software\Classes'

# One value of a key ("" for its default), unescaped; fails when the key or value is
# missing. Through `reg export`, since `reg query` prints through the OEM code page and
# turns "ş" into "s".
reg_value() {
  local file=$tmp/value.reg name
  rm -f "$file"
  wine reg export "$1" "$(winepath -w "$file")" /y >/dev/null 2>&1 || return 1
  if [ -z "$2" ]; then name='@'; else name="\"$2\""; fi
  iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | awk -v name="$name" '
    NR > 1 && /^\[/ { keys++ }
    keys == 1 && index($0, name "=") == 1 {
      v = substr($0, length(name) + 2)
      if (v ~ /^".*"$/) {
        v = substr(v, 2, length(v) - 2); gsub(/\\\\/, "\001", v); gsub(/\\"/, "\"", v); gsub("\001", "\\", v)
      }
      print v; found = 1; exit
    }
    END { exit !found }'
}
expect_value() { # KEY NAME EXPECTED
  local got
  got=$(reg_value "$1" "$2") || fail "$1 has no value ${2:-(default)}"
  [ "$got" = "$3" ] || fail "$1 ${2:-(default)} is '$got', not '$3'"
  ok "$1 ${2:-(default)} = $3"
}
expect_no_key() {
  ! wine reg query "$1" >/dev/null 2>&1 || fail "$1 is still there"
  ok "$1 is gone"
}
run_setup() {
  wine "$setup" "$@" || fail "setup $* exited with $?"
  wineserver -w
}
run_uninstall() { # WINDOWS-FOLDER
  local quiet
  quiet=$(reg_value "$uninstall_key" QuietUninstallString) || fail "no QuietUninstallString"
  [ "$quiet" = "\"$1\\uninstall.exe\" /S" ] || fail "QuietUninstallString is '$quiet'"
  ok "QuietUninstallString = $quiet"
  wine "$1\\uninstall.exe" /S || fail "uninstall.exe /S exited with $?"
  wineserver -w
}
unix_path() { winepath -u "$1" 2>/dev/null | sed 's:/$::'; }
# The bytes of TEXT as UTF-16LE hex, to find in a .lnk file.
utf16_hex() { printf '%s' "$1" | iconv -t UTF-16LE | xxd -p | tr -d '\n'; }

expect_installed() { # WINDOWS-FOLDER [A-FILE-OF-THE-USER'S]
  local dir f n=0 missing extra ours=(-e uninstall.exe)
  [ -z "${2:-}" ] || ours+=(-e "$2")
  dir=$(unix_path "$1")
  [ -d "$dir" ] || fail "$1 was not made"
  [ -f "$dir/uninstall.exe" ] || fail "$1 lacks uninstall.exe"
  local want got
  want=$(cd "$stage" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
  got=$(cd "$dir" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | grep -v -x -F "${ours[@]}" || true)
  missing=$(comm -23 <(echo "$want") <(echo "$got"))
  extra=$(comm -13 <(echo "$want") <(echo "$got"))
  [ -z "$missing" ] || fail "$1 lacks what the stage holds: $missing"
  [ -z "$extra" ] || fail "$1 holds what the stage does not: $extra"
  while IFS= read -rd '' f; do
    cmp -s "$stage/$f" "$dir/$f" || fail "$1\\$f differs from the stage's"
    n=$((n + 1))
  done < <(cd "$stage" && find . -type f -printf '%P\0')
  ok "$1 holds the stage's tree ($n files, byte for byte) and uninstall.exe"
}
expect_shortcut() { # LNK WINDOWS-FOLDER
  local hex
  [ -f "$1" ] || fail "no shortcut $1"
  hex=$(xxd -p "$1" | tr -d '\n')
  [[ $hex == *"$(utf16_hex 'velmira.exe')"* && $hex == *"$(utf16_hex "$2")"* ]] ||
    fail "$1 does not point at $2\\velmira.exe"
  ok "shortcut ${1#"$drive_c"/} -> $2\\velmira.exe"
}
expect_registered() { # WINDOWS-FOLDER
  local exe="$1\\velmira.exe"
  expect_value "$classes\\.tsj" "" "Velmira.tsj"
  expect_value "$classes\\Velmira.tsj" "" "Velmira iş dosyası"
  expect_value "$classes\\Velmira.tsj\\DefaultIcon" "" "\"$exe\",0"
  expect_value "$classes\\Velmira.tsj\\shell\\open" "" "Velmira ile aç"
  expect_value "$classes\\Velmira.tsj\\shell\\open\\command" "" "\"$exe\" \"%1\""
  expect_value "$uninstall_key" DisplayName "Velmira"
  if [ -n "$version" ]; then
    expect_value "$uninstall_key" DisplayVersion "$version"
  else
    reg_value "$uninstall_key" DisplayVersion >/dev/null || fail "no DisplayVersion"
  fi
  expect_value "$uninstall_key" Publisher "Velmira"
  expect_value "$uninstall_key" DisplayIcon "$exe,0"
  expect_value "$uninstall_key" InstallLocation "$1"
  expect_value "$uninstall_key" UninstallString "\"$1\\uninstall.exe\""
  local kb
  kb=$(cd "$stage" && find . -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%08x", int((s + 1023) / 1024) }')
  expect_value "$uninstall_key" EstimatedSize "dword:$kb"
}

# ---------------------------------------------------------------------------------------
# HOOK: start the installed program and check its window. Called once Velmira is installed
# in $1 (a Windows folder, e.g. C:\Program Files\Velmira; its Linux path: unix_path "$1").
# Print "ok    ..." per check, or call fail. Wine hands WINEQT_X=1 on as QT_X=1 (it keeps
# QT_ variables for itself).
# With VELMIRA_CHECK_JOB naming a job file: the installed velmira.exe started with it on
# its command line under Xvfb must show its window (picture in VELMIRA_CHECK_SHOT, default
# window-installed.png beside the setup), and the installed velmira-cli.exe must write its
# detail form.
start_installed_program() {
  local job=${VELMIRA_CHECK_JOB:-} folder
  if [ -z "$job" ]; then
    echo "skip  starting $1\\velmira.exe: no VELMIRA_CHECK_JOB"
    return
  fi
  folder=$(unix_path "$1")
  local shot=${VELMIRA_CHECK_SHOT:-$(dirname "$setup")/window-installed.png}
  bash "$(dirname "$0")/screenshot.sh" --windows "$folder/velmira.exe" --job "$job" "$shot" >/dev/null ||
    fail "the installed velmira.exe showed no window with $(basename "$job")"
  ok "the installed velmira.exe shows its window with $(basename "$job") ($shot)"
  local form=$tmp/detay.xls
  LC_ALL=C.UTF-8 wine "$folder/velmira-cli.exe" detail -o "$(winepath -w "$form")" "$(winepath -w "$job")" \
    >/dev/null 2>&1 || fail "the installed velmira-cli.exe wrote no detail form"
  [ -s "$form" ] || fail "the installed velmira-cli.exe wrote an empty detail form"
  ok "the installed velmira-cli.exe writes a detail form"
  wineserver -w
}
# ---------------------------------------------------------------------------------------

start=$(date +%s)
wineboot -i >/dev/null 2>&1 || fail "wineboot -i could not make $WINEPREFIX"
wineserver -w
bash "$(dirname "$0")/windows-fonts.sh" "$WINEPREFIX"
ok "fresh Wine prefix in $(($(date +%s) - start)) s"

echo "== round 1: setup /S"
folder='C:\Program Files\Velmira'
run_setup /S
expect_installed "$folder"
expect_shortcut "$programs/Velmira.lnk" "$folder"
[ ! -e "$public_desktop/Velmira.lnk" ] || fail "a silent install without /DESKTOP made a desktop shortcut"
ok "no desktop shortcut without /DESKTOP"
expect_registered "$folder"
start_installed_program "$folder"
run_uninstall "$folder"
[ ! -e "$(unix_path "$folder")" ] || fail "$folder is still there after the uninstall"
ok "$folder is gone"
[ ! -e "$programs/Velmira.lnk" ] || fail "the Start menu shortcut is still there"
ok "the Start menu shortcut is gone"
expect_no_key "$classes\\.tsj"
expect_no_key "$classes\\Velmira.tsj"
expect_no_key "$uninstall_key"

echo "== round 2: setup /S /DESKTOP /D=C:\\Ölçüm\\Velmira over an installation"
run_setup /S
folder='C:\Ölçüm\Velmira'
dir=$(unix_path "$folder")
mkdir -p "$dir"
echo "the user's own file" >"$dir/notlar.txt"
run_setup /S /DESKTOP "/D=$folder"
[ ! -e "$drive_c/Program Files/Velmira" ] || fail "the earlier installation in Program Files was not removed"
ok "the earlier installation in Program Files was removed"
expect_installed "$folder" notlar.txt
expect_shortcut "$programs/Velmira.lnk" "$folder"
expect_shortcut "$public_desktop/Velmira.lnk" "$folder"
expect_value "$classes\\Velmira.tsj\\shell\\open\\command" "" "\"$folder\\velmira.exe\" \"%1\""
wine reg add "$classes\\.tsj" /ve /d Other.tsj /f >/dev/null 2>&1 || fail "could not give .tsj to another program"
run_uninstall "$folder"
[ "$(ls -A "$dir")" = notlar.txt ] || fail "$folder holds $(ls -A "$dir" | tr '\n' ' ')rather than only notlar.txt"
ok "$folder holds only the user's notlar.txt"
[ ! -e "$programs/Velmira.lnk" ] && [ ! -e "$public_desktop/Velmira.lnk" ] || fail "a shortcut is still there"
ok "the Start menu and desktop shortcuts are gone"
expect_value "$classes\\.tsj" "" "Other.tsj"
expect_no_key "$classes\\.tsj\\OpenWithProgids"
expect_no_key "$classes\\Velmira.tsj"
expect_no_key "$uninstall_key"
echo "all checks passed: $(basename "$setup")"
