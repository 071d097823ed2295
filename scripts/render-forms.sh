#!/usr/bin/env bash
# Renders both forms of the sample job to PNG pages through LibreOffice, so that
# anyone can look at them:  scripts/render-forms.sh [OUTPUT-FOLDER]
# Expects a build (scripts/run.sh or scripts/test.sh makes one).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/forms-preview}
mkdir -p "$out"
bin=build/bin
[ -x "$bin/velmira-cli" ] || { echo "build first: scripts/run.sh" >&2; exit 1; }

job="$out/sample.tsj"
"$bin/velmira-make-job" --seed 1 --points 40 --method network "$job" >/dev/null
"$bin/velmira-cli" detail -o "$out/detail.xls" "$job" 2>/dev/null
"$bin/velmira-cli" polygon -o "$out/polygon.xls" "$job" 2>/dev/null

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
soffice -env:UserInstallation="file://$profile" --headless --convert-to pdf --outdir "$out" \
  "$out/detail.xls" "$out/polygon.xls" >/dev/null 2>&1
for form in detail polygon; do
  pdftoppm -png -r 80 "$out/$form.pdf" "$out/$form"
done
ls "$out"/*.png
