#!/usr/bin/env bash
# Installs what is missing, builds, makes a sample job, prints its points with the batch
# command line and starts the desktop program with the sample loaded.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMIRA_GUI=ON -DVELMIRA_BENCH=ON >/dev/null
cmake --build build -j "$(nproc)"
sample=build/sample/sample.tsj
if [ ! -f "$sample" ]; then
  mkdir -p build/sample
  build/bin/velmira-make-job --seed 1 --points 40 --method network "$sample" >/dev/null
fi

echo "== velmira-cli points $sample =="
build/bin/velmira-cli points "$sample"
echo
echo "== velmira-cli match --flags $sample =="
build/bin/velmira-cli match --flags "$sample"
echo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
No display here, so the desktop program was not started. To run it on a virtual display:
    VELMIRA_START_JOB=$PWD/$sample xvfb-run -a build/bin/velmira
or save a picture of its main window with the sample loaded:
    scripts/screenshot.sh build/screenshot.png
MSG
  exit 0
fi
echo "== starting build/bin/velmira with the sample job loaded =="
VELMIRA_START_JOB="$PWD/$sample" exec build/bin/velmira
