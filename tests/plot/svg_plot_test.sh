#!/usr/bin/env bash
# The companion's plot as other programs see it: well-formed XML with a titled
# circle per list point, and an SVG that a renderer draws at its size.
# Usage: svg_plot_test.sh VARIDAC_FILL EXAMPLE.INF
# VARIDAC_RUNNER, when set, runs the companion (wine for the Windows one).
set -euo pipefail
fill=(${VARIDAC_RUNNER:-} "$1")
example=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cp "$example" "$scratch/EXAMPLE.INF"
"${fill[@]}" --plot "$scratch/C.svg" "$scratch/EXAMPLE.INF" >/dev/null
xmllint --noout "$scratch/C.svg" || fail "C.svg is not well-formed"
circles=$(xmllint --xpath "count(//*[local-name()='circle'][*[local-name()='title']])" "$scratch/C.svg")
[ "$circles" = 11 ] || fail "$circles titled circles, not 11"
title=$(xmllint --xpath "string((//*[local-name()='circle']/*[local-name()='title'])[1])" "$scratch/C.svg")
[ "$title" = "600 kHz: 2.1 V" ] || fail "first point's title is \"$title\""

rsvg-convert --format png --output "$scratch/C.png" "$scratch/C.svg" || fail "rsvg-convert refused C.svg"
size=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
print("%dx%d" % struct.unpack(">II", data[16:24]))' "$scratch/C.png") || fail "C.png is not a PNG"
[ "$size" = 640x440 ] || fail "C.png is $size"

# A list whose name XML must escape, and bytes that are not UTF-8. Windows
# (the program under a runner) allows no < > " in a name, and names there are
# Unicode.
odd=$'A&B <\xff> "x".INF'
[ -n "${VARIDAC_RUNNER:-}" ] && odd="A&B 'x' €.INF"
cp "$example" "$scratch/$odd"
"${fill[@]}" --plot "$scratch/odd.svg" "$scratch/$odd" >/dev/null
xmllint --noout "$scratch/odd.svg" || fail "odd.svg is not well-formed"
rsvg-convert --format png --output "$scratch/odd.png" "$scratch/odd.svg" || fail "rsvg-convert refused odd.svg"
echo "plots well-formed and rendered"
