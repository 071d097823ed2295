#!/usr/bin/env bash
# Starts velmira under a virtual X display with the sample job loaded (its points
# listed and its sessions matched) and saves a picture of the screen.
#
#   scripts/screenshot.sh [OUT.png]      (default: build/screenshot.png)
#
# Needs a build (build/bin/velmira and build/bin/velmira-make-job), xvfb-run and
# ImageMagick's import. The job is handed over through VELMIRA_START_JOB, which the
# program reads at start-up in place of the open dialogue.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshot.png}
sample=build/sample/screenshot.tsj
if [ ! -f "$sample" ]; then
  mkdir -p build/sample
  build/bin/velmira-make-job --seed 1 --points 40 --method network --float-fraction 0 "$sample" >/dev/null
fi
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  VELMIRA_START_JOB="$1" build/bin/velmira &
  pid=$!
  sleep "${VELMIRA_SCREENSHOT_WAIT:-5}"
  import -window root "$2"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' _ "$PWD/$sample" "$out"
echo "$out"
