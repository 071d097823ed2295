#!/usr/bin/env bash
# Starts velmira under a virtual X display with the sample job loaded (its points
# listed and its sessions matched) and saves a picture of the screen.
#
#   scripts/screenshot.sh [--tab harita|kontrol|farklar] [--job FILE.tsj] [OUT.png]
#                                                  (default: build/screenshot.png)
#
# Needs a build (build/bin/velmira and build/bin/velmira-make-job), xvfb-run and
# ImageMagick's import. The job is handed over through VELMIRA_START_JOB, which the
# program reads at start-up in place of the open dialogue; the tab through
# VELMIRA_START_TAB.
set -euo pipefail
cd "$(dirname "$0")/.."
tab=
job=
while [ $# -gt 0 ]; do
  case "$1" in
    --tab) tab=${2:?--tab needs harita, kontrol or farklar}; shift 2 ;;
    --job) job=${2:?--job needs a job file}; shift 2 ;;
    -*) echo "usage: $0 [--tab harita|kontrol|farklar] [--job FILE.tsj] [OUT.png]" >&2; exit 2 ;;
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
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  VELMIRA_START_JOB="$1" VELMIRA_START_TAB="$3" build/bin/velmira &
  pid=$!
  sleep "${VELMIRA_SCREENSHOT_WAIT:-5}"
  import -window root "$2"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' _ "$job" "$out" "$tab"
echo "$out"
