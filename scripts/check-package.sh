#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's machine meets it: lintian, the files
# it installs, the desktop entry and AppStream record as the menus and software centres
# read them, the MIME type as the system's database compiles it, the manual pages as man
# renders them, and the installed velmira-cli against the build tree's on a generated job.
# Needs the normal build in build/ (scripts/test.sh makes it) for the generator and the
# reference output. The first check that fails is named and ends the run with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "check-package: $*" >&2
  exit 1
}

[ -x build/bin/velmira-cli ] && [ -x build/bin/velmira-make-job ] || fail "build/ has no velmira-cli or velmira-make-job; run scripts/test.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

deb=$(bash scripts/package.sh 2>"$scratch/package.log" | tail -n 1) || { cat "$scratch/package.log" >&2; fail "scripts/package.sh failed"; }
[ -f "$deb" ] || fail "scripts/package.sh made no package"
echo "== package: $deb"
root=$scratch/root
dpkg-deb -x "$deb" "$root"

id=tr.velmira.Velmira
echo "== lintian"
# Suppressed as not applicable to a package built outside Debian's archive:
#   initial-upload-closes-no-bugs: the archive's first upload closes its "intent to
#   package" bug; this package has no such bug to close.
lintian_rc=0
lintian --fail-on error --display-info --tag-display-limit 0 \
  --suppress-tags initial-upload-closes-no-bugs "$deb" 2>&1 | grep -v '^running with root privileges' || lintian_rc=${PIPESTATUS[0]}
[ "$lintian_rc" -eq 0 ] || fail "lintian found errors"

echo "== installed files"
expected=(
  usr/bin/velmira usr/bin/velmira-cli
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/mime/packages/$id.xml
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/velmira.1.gz usr/share/man/man1/velmira-cli.1.gz
  usr/share/doc/velmira/copyright usr/share/doc/velmira/changelog.Debian.gz
)
for size in 16 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for f in "${expected[@]}"; do [ -s "$root/$f" ] || fail "the package lacks /$f"; done
# A bitmap in the wrong size folder is scaled by every desktop, blurred.
for size in 16 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$png")
  [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsqlite3-0 libqt6widgets6 libc6; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
echo "Depends: $depends"

echo "== desktop entry and AppStream record"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
# The record, the desktop entry and the icons found together, as a software centre does.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

echo "== MIME type"
mkdir -p "$scratch/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$root/usr/share/mime/packages/$id.xml" "$scratch/mime/packages/"
XDG_DATA_HOME="$scratch" XDG_DATA_DIRS="$scratch" update-mime-database "$scratch/mime" 2>"$scratch/mime.err" || fail "update-mime-database: $(cat "$scratch/mime.err")"
[ ! -s "$scratch/mime.err" ] || fail "update-mime-database: $(cat "$scratch/mime.err")"
grep -qx '50:application/x-velmira-tsj:\*\.tsj' "$scratch/mime/globs2" || fail "no *.tsj glob in the compiled MIME database"
# Below the generic SQLite type, so that other databases keep their own type.
grep -qa '^\[40:application/x-velmira-tsj\]' "$scratch/mime/magic" || fail "no SQLite magic of priority 40 for the job files"
grep -qx 'application/x-velmira-tsj application/vnd.sqlite3' "$scratch/mime/subclasses" || fail "the job type is no SQLite database"

echo "== manual pages"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

echo "== installed velmira-cli against the build tree's"
build/bin/velmira-make-job --seed 7 --points 80 "$scratch/job.tsj" >/dev/null
mkdir -m 700 "$scratch/cache"
for command in points match; do
  env -u LD_LIBRARY_PATH XDG_CACHE_HOME="$scratch/cache" "$root/usr/bin/velmira-cli" "$command" "$scratch/job.tsj" \
    >"$scratch/installed.txt" 2>"$scratch/installed.err" || fail "installed velmira-cli $command: $(cat "$scratch/installed.err")"
  XDG_CACHE_HOME="$scratch/cache" build/bin/velmira-cli "$command" "$scratch/job.tsj" >"$scratch/built.txt" 2>/dev/null
  [ "$(wc -l <"$scratch/installed.txt")" -gt 5 ] || fail "installed velmira-cli $command printed too little"
  diff -u "$scratch/built.txt" "$scratch/installed.txt" | head -20 >&2 || true
  cmp -s "$scratch/built.txt" "$scratch/installed.txt" || fail "installed velmira-cli $command differs from the build tree's"
done
echo "package checks passed"
