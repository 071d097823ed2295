#!/usr/bin/env bash
# Installs what is missing, builds, makes the sample job and lists its points with
# the batch command line.
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
build/bin/velmira-cli points --meridian 33 "$sample"
