#!/bin/sh
# Runs the save benchmark and checks that the workbooks it writes are byte for byte the
# ones recorded in form-sha256.txt (written before the writer was tuned).
#   bench/xls/check-identical.sh <build-dir> [runs]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build directory}
runs=${2:-3}
keep=$(mktemp -d)
trap 'rm -rf "$keep"' EXIT
"$build/bin/bench_xls_save" "$runs" "$keep"
cd "$keep" && sha256sum -c "$here/form-sha256.txt"
