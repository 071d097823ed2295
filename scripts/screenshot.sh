#!/usr/bin/env bash
# Starts velmira under a virtual X display with the sample job loaded (its points
# listed and its sessions matched) and saves a picture of the screen.
#
#   scripts/screenshot.sh [--tab harita|kontrol|farklar] [--job FILE.tsj] [OUT.png]
#                                                  (default: build/screenshot.png)
#   scripts/screenshot.sh --windows VELMIRA.EXE [--job FILE.tsj] [OUT.png]
#
# --windows starts the Windows build under Wine (WINEPREFIX as set) with the job named on
# its command line, as Explorer's "Velmira ile aç" does, and fails unless the main window
# shows with the job's name in its title.
#
# Needs a build (build/bin/velmira and build/bin/velmira-make-job), xvfb-run and
# ImageMagick's import. The job is handed over through VELMIRA_START_JOB, which the
# program reads at start-up in place of the open dialogue; the tab through
# VELMIRA_START_TAB.
set -euo pipefail
cd "$(dirname "$0")/.."
tab=
job=
windows=
while [ $# -gt 0 ]; do
  case "$1" in
    --tab) tab=${2:?--tab needs harita, kontrol or farklar}; shift 2 ;;
    --windows) windows=${2:?--windows needs velmira.exe}; shift 2 ;;
    --job) job=${2:?--job needs a job file}; shift 2 ;;
    -*) echo "usage: $0 [--tab harita|kontrol|farklar] [--windows VELMIRA.EXE] [--job FILE.tsj] [OUT.png]" >&2; exit 2 ;;
    *) break ;;
  esac
done
case "$tab" in
  ''|harita|kontrol|farklar) ;;
  *) echo "$0: --tab takes harita, kontrol or farklar" >&2; exit 2 ;;
esac
out=${1:-build/screenshot.png}
if [ -z "$job" ]; then
  job=build/sample/screenshot.tsj
  if [ ! -f "$job" ]; then
    mkdir -p build/sample
    build/bin/velmira-make-job --seed 1 --points 40 --method network --float-fraction 0 "$job" >/dev/null
  fi
fi
job=$(realpath "$job")
mkdir -p "$(dirname "$out")"
if [ -n "$windows" ]; then
  # The Turkish letters of the paths reach Wine through a UTF-8 locale.
  export LC_ALL=C.UTF-8 WINEDEBUG=${WINEDEBUG:--all}
  # A Wine server still running from an earlier program (the tests on the offscreen
  # platform) has no display: windows would go nowhere.
  wineserver -k 2>/dev/null || true
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    wine "$1" "$(winepath -w "$2")" &
    pid=$!
    title=
    for _ in $(seq 60); do  # Wine starts, then the splash screen stays two seconds
      sleep 1
      title=$(xwininfo -root -tree | grep -F -- "$(basename "$2") - Velmira" || true)
      [ -n "$title" ] && break
    done
    sleep 3  # painted
    import -window root "$3"
    { wineserver -k || kill "$pid"; wait "$pid"; } 2>/dev/null || true
    [ -n "$title" ] || { echo "screenshot.sh: no Velmira window with the job in its title" >&2; exit 1; }
    echo "window:$title"
  ' _ "$windows" "$job" "$out"
  echo "$out"
  exit 0
fi
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  VELMIRA_START_JOB="$1" VELMIRA_START_TAB="$3" build/bin/velmira &
  pid=$!
  sleep "${VELMIRA_SCREENSHOT_WAIT:-5}"
  import -window root "$2"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' _ "$job" "$out" "$tab"
echo "$out"
