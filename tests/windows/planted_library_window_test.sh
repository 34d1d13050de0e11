#!/usr/bin/env bash
# The window started from a folder that also holds DLLs named like the
# system libraries it loads on demand (a program unpacked into Downloads
# sits beside whatever else was downloaded): driven through the open dialog
# and the help button, it must load neither planted copy. Each copy leaves
# NAME.dll.loaded beside itself when loaded. Wine is told to prefer such
# files to its builtin libraries for varidac.exe, as Windows searches.
# Usage: planted_library_window_test.sh BUILD_DIR
# Needs WINEPREFIX, a running Wine server and DISPLAY.
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
pid=""
overrides='HKCU\Software\Wine\AppDefaults\varidac.exe'
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  wine reg delete "$overrides" /f >/dev/null 2>&1 || true
  wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1 || true
  wine reg delete 'HKCR\VaridacGuideTest' /f >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
windows_path() { echo "Z:${1//\//\\}"; }
probe() { wine "$build/bin/window_probe.exe" "$@" | tr -d '\r'; }
field() { probe form | sed -n "s/^$1=//p"; }
activate_form() {
  xdotool windowfocus --sync "$form"
  xdotool mousemove --window "$form" 3 300 click 1
}
focus_to() {
  for _ in $(seq 24); do
    local focus
    focus=$(field focus)
    [ "$focus" = "$1" ] && return 0
    if [ -z "$focus" ]; then activate_form; sleep 0.3; continue; fi
    xdotool key Tab
  done
  fail "Tab never reached $1 (focus: $(field focus))"
}

planted=(comdlg32.dll shell32.dll)
# A planted copy loaded is the failure to report, also when the command
# that loaded it then failed for want of the system's function.
check_planted() {
  for dll in "${planted[@]}"; do
    [ ! -e "$scratch/program/$dll.loaded" ] || fail "the window loaded the $dll planted beside it"
  done
}
mkdir "$scratch/program"
cp "$build/bin/varidac.exe" "$build/bin/VARIDAC.HLP" "$scratch/program/"
for dll in "${planted[@]}"; do
  cp "$build/bin/planted_library.dll" "$scratch/program/$dll"
  wine reg add "$overrides\\DllOverrides" /v "${dll%.dll}" /d native,builtin /f >/dev/null
done
# The guide goes to a "browser" that keeps a copy, so that the test knows
# the shell was asked to show it.
wine reg add 'HKCR\.html' /ve /d VaridacGuideTest /f >/dev/null
wine reg add 'HKCR\VaridacGuideTest\shell\open\command' /ve \
  /d "cmd.exe /c copy \"%1\" \"$(windows_path "$scratch/shown.html")\"" /f >/dev/null

(cd "$scratch/program" && exec wine "$scratch/program/varidac.exe" >"$scratch/window.log" 2>&1) &
pid=$!
form=$(timeout 30 xdotool search --sync --name '^VARIDAC EPROM FILLER $' | head -1)
[ -n "$form" ] || fail "the window did not appear"
for _ in $(seq 20); do [ -n "$(field focus)" ] && break; sleep 0.2; done
activate_form

echo "planted libraries: the open dialog"
focus_to cmdLeeslijst
xdotool key space
dialog=$(timeout 15 xdotool search --sync --name '^Open Varidac \*\.INF file$' | head -1) || true
[ -n "$dialog" ] || { check_planted; fail "the open dialog did not open"; }
xdotool windowfocus --sync "$dialog"
xdotool key Escape
for _ in $(seq 50); do [ -z "$(xdotool search --name '^Open Varidac' 2>/dev/null)" ] && break; sleep 0.1; done
activate_form

echo "planted libraries: the guide"
focus_to Command1
xdotool key space
for _ in $(seq 100); do [ -f "$scratch/shown.html" ] && break; sleep 0.1; done
[ -f "$scratch/shown.html" ] || { check_planted; fail "the guide was not shown"; }
activate_form

focus_to cmdStoppen
xdotool key space
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then fail "Exit did not end the program"; fi
wait "$pid" || fail "the program ended with status $?"
pid=""

check_planted
echo "The window loaded no library planted beside it"
