#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a
# scratch root and runs what it installed from there.
# Usage: package_test.sh BUILD_DIR VERSION EXAMPLE_LIST
set -euo pipefail
build=$1 version=$2 example=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/pkg" >/dev/null
deb=$(ls "$scratch"/pkg/varidac_*.deb)
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no dependency on the Qt 6 widgets runtime"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/varidac usr/bin/varidac-fill usr/bin/VARIDAC.HLP \
         usr/share/applications/io.varidac.EpromFiller.desktop \
         usr/share/icons/hicolor/32x32/apps/io.varidac.EpromFiller.png \
         usr/share/icons/hicolor/scalable/apps/io.varidac.EpromFiller.svg \
         usr/share/metainfo/io.varidac.EpromFiller.metainfo.xml \
         usr/share/man/man1/varidac-fill.1.gz; do
  [ -f "$root/$f" ] || fail "package lacks /$f"
done
desktop-file-validate "$root/usr/share/applications/io.varidac.EpromFiller.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.varidac.EpromFiller.metainfo.xml" >/dev/null \
  || fail "metainfo does not validate"
grep -q "release version=\"$version\"" "$root/usr/share/metainfo/io.varidac.EpromFiller.metainfo.xml" \
  || fail "metainfo names another version"
zcat "$root/usr/share/man/man1/varidac-fill.1.gz" | grep -q '^\.TH VARIDAC-FILL 1' || fail "manual page is not a man page"

[ "$("$root/usr/bin/varidac-fill" --version)" = "varidac-fill $version" ] || fail "installed --version"
mkdir "$scratch/lists"
cp "$example" "$scratch/lists/EXAMPLE.INF"
"$root/usr/bin/varidac-fill" --eprom 27C128 "$scratch/lists/EXAMPLE.INF" >/dev/null
[ "$(stat -c %s "$scratch/lists/EXAMPLE_27C128.BIN")" = 16384 ] || fail "installed companion wrote no image"

# The window must start from the installed copy: still running after three
# seconds means it came up (a missing library ends it at once).
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/varidac" >"$scratch/window.log" 2>&1 || status=$?
[ "$status" = 124 ] || { cat "$scratch/window.log" >&2; fail "installed window ended with status $status"; }
echo "package $(basename "$deb") checked"
