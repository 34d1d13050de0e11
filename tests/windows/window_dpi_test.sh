#!/usr/bin/env bash
# The window at the display scalings Windows offers most (100, 125 and
# 150 %): Wine's logical resolution set before the program starts, then the
# native-window tests of sizes and places run at it: the client area as the
# table's twips at that resolution, no control over another, labels whose
# text fits, and the tuning curve beside the window inside the work area.
# Then the program itself (with its manifest, which declares it aware of
# the resolution) at 144 dpi: its client area, and the tuning curve opened
# with Enter in the list, beside the window and inside the work area.
# Usage: window_dpi_test.sh BUILD_DIR
# Needs WINEPREFIX, a running Wine server and DISPLAY.
set -euo pipefail
build=$(cd "$1" && pwd)
key='HKCU\Control Panel\Desktop'
pid=""
restore() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  wine reg add "$key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

tests='Win32FormTest.EveryControlIsWhereTheTablePutsItInItsFont'
tests+=':Win32FormTest.NoControlCoversAnotherAndTheCurveOpensBesideTheWindowInsideTheWorkArea'
tests+=':Win32FormTest.TheEditorOpensEmptyWithItsColumnOnTheRightEdgeAndTheTablesTabOrder'
for dpi in 96 120 144; do
  echo "window: $dpi dpi"
  wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  # The tests check first that the resolution took.
  VARIDAC_EXPECTED_DPI=$dpi wine "$build/bin/win32_form_tests.exe" --gtest_filter="$tests" >"$build/window_dpi_$dpi.log" 2>&1 ||
    { tr -d '\r' <"$build/window_dpi_$dpi.log" | grep -v '^\[ *\(RUN\|OK\) ' >&2; fail "the window at $dpi dpi"; }
  grep -q '\[  PASSED  \] 3 tests' "$build/window_dpi_$dpi.log" || fail "not every test ran at $dpi dpi"
done
echo "window: the program at 144 dpi"
probe() { wine "$build/bin/window_probe.exe" "$@" | tr -d '\r'; }
value() { sed -n "s/^$1=//p"; }
# Whether rect A (LEFT,TOP,RIGHT,BOTTOM) is inside rect B, or meets it.
inside() {
  awk -v a="$1" -v b="$2" 'BEGIN { split(a, p, ","); split(b, q, ",")
    exit !(p[1] >= q[1] && p[2] >= q[2] && p[3] <= q[3] && p[4] <= q[4]) }'
}
meets() {
  awk -v a="$1" -v b="$2" 'BEGIN { split(a, p, ","); split(b, q, ",")
    exit !(p[1] < q[3] && q[1] < p[3] && p[2] < q[4] && q[2] < p[4]) }'
}
wine reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wine "$build/bin/varidac.exe" >/dev/null 2>&1 &
pid=$!
form=$(timeout 30 xdotool search --sync --name '^VARIDAC EPROM FILLER $' | head -1) || true
[ -n "$form" ] || fail "the window did not appear at 144 dpi"
for _ in $(seq 20); do [ "$(probe form | value focus)" = "optEprom(0)" ] && break; sleep 0.2; done
shown=$(probe form)
# 3870 x 6525 twips at 144 dpi, a tenth of a twip to a pixel.
[ "$(echo "$shown" | value client)" = 387x653 ] || fail "the client area at 144 dpi is $(echo "$shown" | value client)"
main=$(echo "$shown" | value rect) room=$(echo "$shown" | value workarea)
xdotool windowfocus --sync "$form"
xdotool mousemove --window "$form" 3 450 click 1
for _ in $(seq 24); do
  [ "$(probe form | value focus)" = txtDAlist ] && break
  xdotool key Tab
done
[ "$(probe form | value focus)" = txtDAlist ] || fail "Tab never reached the list at 144 dpi"
xdotool key Return
curve=$(probe curve | value rect)
[ -n "$curve" ] || fail "Enter in the list did not open the tuning curve at 144 dpi"
! meets "$curve" "$main" || fail "the tuning curve $curve covers the window $main"
inside "$curve" "$room" || fail "the tuning curve $curve is not inside the work area $room"
echo "Windows window checked at 96, 120 and 144 dpi under Wine"
