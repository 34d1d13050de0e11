#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a
# scratch root and runs what it installed from there.
# Usage: package_test.sh BUILD_DIR VERSION EXAMPLE_LIST LICENSE
set -euo pipefail
build=$1 version=$2 example=$3 license=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/pkg" >/dev/null
deb=$(ls "$scratch"/pkg/varidac_*.deb)
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no dependency on the Qt 6 widgets runtime"
dpkg-deb -f "$deb" Recommends | grep -qw 'fonts-liberation2' || fail "does not recommend the font the window is laid out for"

# Debian's own checker: any error or warning fails (informational notes do not).
lintian --fail-on error,warning "$deb" || fail "lintian reports the package above"

# Nothing but the two programs in /usr/bin.
bin_files=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep '^\./usr/bin/.' | sort | tr '\n' ' ')
[ "$bin_files" = "./usr/bin/varidac ./usr/bin/varidac-fill " ] || fail "/usr/bin holds $bin_files"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/varidac usr/bin/varidac-fill usr/share/varidac/VARIDAC.HLP \
         usr/share/applications/io.varidac.EpromFiller.desktop \
         usr/share/icons/hicolor/32x32/apps/io.varidac.EpromFiller.png \
         usr/share/icons/hicolor/scalable/apps/io.varidac.EpromFiller.svg \
         usr/share/metainfo/io.varidac.EpromFiller.metainfo.xml \
         usr/share/man/man1/varidac-fill.1.gz usr/share/man/man1/varidac.1.gz \
         usr/share/doc/varidac/copyright usr/share/doc/varidac/changelog.gz; do
  [ -f "$root/$f" ] || fail "package lacks /$f"
done
desktop-file-validate "$root/usr/share/applications/io.varidac.EpromFiller.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.varidac.EpromFiller.metainfo.xml" >/dev/null \
  || fail "metainfo does not validate"
grep -q "release version=\"$version\"" "$root/usr/share/metainfo/io.varidac.EpromFiller.metainfo.xml" \
  || fail "metainfo names another version"
zcat "$root/usr/share/man/man1/varidac-fill.1.gz" | grep -q '^\.TH VARIDAC-FILL 1' || fail "manual page is not a man page"
grep -q '<project_license>MIT</project_license>' "$root/usr/share/metainfo/io.varidac.EpromFiller.metainfo.xml" \
  || fail "metainfo names another licence"
# The copyright file carries LICENSE's own words, as its format writes them.
awk 'text { sub(/^ /, ""); sub(/^\.$/, ""); print } /^License: Expat$/ && previous == "" { text = 1 } { previous = $0 }' \
  "$root/usr/share/doc/varidac/copyright" >"$scratch/licence"
sed -n '/^Permission/,$p' "$license" | diff - "$scratch/licence" >&2 || fail "copyright file differs from LICENSE"

copyright=$(grep -m1 '^Copyright (c) ' "$license")
for program in varidac varidac-fill; do
  "$root/usr/bin/$program" --version >"$scratch/version"
  [ "$(head -n 1 "$scratch/version")" = "$program $version" ] || fail "installed $program --version"
  grep -qxF "$copyright" "$scratch/version" || fail "$program --version does not show \"$copyright\""
  grep -q 'MIT License' "$scratch/version" || fail "$program --version does not name the licence"
done
mkdir "$scratch/lists"
cp "$example" "$scratch/lists/EXAMPLE.INF"
"$root/usr/bin/varidac-fill" --eprom 27C128 "$scratch/lists/EXAMPLE.INF" >/dev/null
[ "$(stat -c %s "$scratch/lists/EXAMPLE_27C128.BIN")" = 16384 ] || fail "installed companion wrote no image"

# The window must start from the installed copy: still running after three
# seconds means it came up (a missing library ends it at once).
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/varidac" >"$scratch/window.log" 2>&1 || status=$?
[ "$status" = 124 ] || { cat "$scratch/window.log" >&2; fail "installed window ended with status $status"; }

# Every option the companion's --help lists has its entry under OPTIONS in
# the manual page, and the page describes none that the program lacks.
"$root/usr/bin/varidac-fill" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p' | sort >"$scratch/help-options"
zcat "$root/usr/share/man/man1/varidac-fill.1.gz" \
  | sed -n '/^\.SH OPTIONS/,/^\.SH /{/^\.TP/{n;s/^\.BI\{0,1\} \\-\\-\([a-z-]*\).*/--\1/p;}}' | sort >"$scratch/man-options"
[ -s "$scratch/help-options" ] || fail "varidac-fill --help lists no options"
diff "$scratch/help-options" "$scratch/man-options" >&2 \
  || fail "varidac-fill --help (<) and its manual page (>) list other options"
echo "package $(basename "$deb") checked"
