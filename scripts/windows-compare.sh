#!/usr/bin/env bash
# Runs velmira-cli of the Linux build and velmira-cli.exe of the Windows build (under
# Wine) on the same job files and compares every output byte for byte: standard output,
# exit status and every file written; then the same for the forms and the delivery
# folder written by the desktop program's own commands (velmira-desktop-outputs). Job files come from the Linux velmira-make-job,
# some in a folder and under names with Turkish letters.
#
#   scripts/windows-compare.sh LINUX-BIN-DIR WINDOWS-BIN-DIR WORK-DIR
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
work=$3
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# Wine reads the command line in the locale's encoding: UTF-8, or the Turkish letters
# of the paths would not arrive.
export LC_ALL=C.UTF-8 WINEDEBUG=-all

jobs_dir="İş Ölçüleri"
mkdir -p "$jobs_dir" linux windows
make_job() { "$linux/velmira-make-job" "$@" >/dev/null; }
make_job --seed 11 --points 60 --meridian 33 --method network "$jobs_dir/parsel-ğüşıöç.tsj"
make_job --seed 12 --points 40 --meridian 30 --method rtk "$jobs_dir/ada-çayırlı.tsj"
make_job --seed 13 --points 30 --meridian none --method network kontrol.tsj
make_job --seed 14 --points 80 --meridian 36 --method network --control-fraction 0.5 --float-fraction 0.2 büyük.tsj

failures=0
compared=0
# run NAME ARGS...: both programs in their own folder, with their own cache folder.
run() {
  local name=$1
  shift
  local status_linux=0 status_windows=0
  (cd linux && XDG_CACHE_HOME="$PWD/cache" "$linux/velmira-cli" "$@" >"$name.out" 2>"$name.err") || status_linux=$?
  (cd windows && wine "$windows/velmira-cli.exe" "$@" >"$name.out" 2>"$name.err") || status_windows=$?
  compared=$((compared + 1))
  if [ "$status_linux" != "$status_windows" ]; then
    echo "DIFFERENT exit status for $name: Linux $status_linux, Windows $status_windows"
    failures=$((failures + 1))
  fi
  if ! cmp -s "linux/$name.out" "windows/$name.out"; then
    echo "DIFFERENT standard output for $name:"
    cmp "linux/$name.out" "windows/$name.out" || true
    failures=$((failures + 1))
  fi
  if ! cmp -s "linux/$name.err" "windows/$name.err"; then
    echo "DIFFERENT standard error for $name:"
    diff "linux/$name.err" "windows/$name.err" | head -5 || true
    failures=$((failures + 1))
  fi
}

j1="../$jobs_dir/parsel-ğüşıöç.tsj"
j2="../$jobs_dir/ada-çayırlı.tsj"
j3="../kontrol.tsj"
j4="../büyük.tsj"
run points points "$j1" "$j2" "$j4"
run points-zone points --meridian 30 "$j3"
run match-flags match --flags "$j1" "$j2" "$j4"
run match-tolerance match --flags --tolerance 0.5 --min-hours 1.5 "$j4"
run check check "$j1" "$j2"
run check-classic check --profile klasik-rtk "$j4"
run detail detail -o "$jobs_dir-detay-ğ.xls" "$j1"
run polygon polygon -o poligon-ş.xls "$j1" "$j4"
run deliver deliver -o "teslim-$jobs_dir" "$j1" "$j2" "$j4"
run refused points yok.tsj
run usage match --tolerance -1 "$j1"

# The desktop's commands, on the offscreen platform; their messages name absolute paths,
# so they are kept beside the folders, not compared.
desktop_jobs=("../$jobs_dir/parsel-ğüşıöç.tsj" ../büyük.tsj)
status_linux=0 status_windows=0
(cd linux && QT_QPA_PLATFORM=offscreen VELMIRA_TEST_SETTINGS="$PWD/../settings-linux" \
  XDG_CACHE_HOME="$PWD/../cache-linux" "$linux/velmira-desktop-outputs" masaustu "${desktop_jobs[@]}" \
  2>../desktop-linux.err) || status_linux=$?
(cd windows && WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/dejavu \
  VELMIRA_TEST_SETTINGS="Z:$PWD/../settings-windows" wine "$windows/velmira-desktop-outputs.exe" masaustu \
  "${desktop_jobs[@]}" 2>../desktop-windows.err) || status_windows=$?
compared=$((compared + 1))
if [ "$status_linux" != 0 ] || [ "$status_windows" != 0 ]; then
  echo "the desktop's commands failed: Linux $status_linux, Windows $status_windows (see desktop-*.err)"
  failures=$((failures + 1))
fi
[ -d linux/masaustu/teslim-İş ] || { echo "the desktop wrote no delivery folder"; failures=$((failures + 1)); }

# Every file the two programs wrote, by the same relative names.
(cd linux && find . -path ./cache -prune -o -type f -print | sort) >files-linux.txt
(cd windows && find . -type f -print | sort) >files-windows.txt
if ! cmp -s files-linux.txt files-windows.txt; then
  echo "DIFFERENT file lists:"
  diff files-linux.txt files-windows.txt || true
  failures=$((failures + 1))
fi
while IFS= read -r file; do
  case "$file" in *.out | *.err) continue ;; esac
  compared=$((compared + 1))
  if ! cmp -s "linux/$file" "windows/$file"; then
    echo "DIFFERENT: $file"
    cmp "linux/$file" "windows/$file" || true
    failures=$((failures + 1))
  fi
done <files-linux.txt

# The generator of the Windows build writes the same job under a Turkish name, and
# replaces it whole when run again. SQLite may lay the pages out differently, so the
# databases are compared by their content.
for run in 1 2; do
  wine "$windows/velmira-make-job.exe" --seed 11 --points 60 --meridian 33 --method network \
    "$jobs_dir/windows-ğüşıöç.tsj" >/dev/null
done
compared=$((compared + 1))
if ! cmp -s <(sqlite3 "$jobs_dir/parsel-ğüşıöç.tsj" .dump) <(sqlite3 "$jobs_dir/windows-ğüşıöç.tsj" .dump); then
  echo "DIFFERENT: the job files of velmira-make-job"
  failures=$((failures + 1))
fi

echo "compared $compared outputs and files of the Linux and Windows builds: $failures differences"
[ "$failures" -eq 0 ]
