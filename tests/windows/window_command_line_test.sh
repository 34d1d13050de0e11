#!/usr/bin/env bash
# The window started the desktop's ways under Wine: --help and /? print the
# usage to a redirected output and end with status 0; a wrong option ends
# with status 2; a list named on the command line (in a folder and under a
# name of any alphabet, with a space) is read at start as Read File reads
# it: a list without points shows the error box, a good one fills the list.
# Usage: window_command_line_test.sh BUILD_DIR
# Needs WINEPREFIX, a running Wine server and DISPLAY.
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
probe() { wine "$build/bin/window_probe.exe" "$@" | tr -d '\r'; }

echo "window: the usage"
for option in --help -h '/?'; do
  status=0
  wine "$build/bin/varidac.exe" "$option" >"$scratch/out.txt" 2>"$scratch/err.txt" || status=$?
  [ "$status" = 0 ] || fail "varidac $option ended with status $status"
  [ "$(head -1 "$scratch/out.txt" | tr -d '\r')" = "Usage: varidac [LIST]" ] || fail "varidac $option printed: $(cat "$scratch/out.txt")"
done
status=0
wine "$build/bin/varidac.exe" --no-such-option >"$scratch/out.txt" 2>"$scratch/err.txt" || status=$?
[ "$status" = 2 ] || fail "a wrong option ended with status $status"
grep -q "Usage: varidac \[LIST\]" "$scratch/err.txt" || fail "a wrong option did not tell the usage"

# Starts the window with a list in the lists' folder, named relative to it.
start_with() {
  (cd "$scratch" && exec wine "$build/bin/varidac.exe" "$1" >"$scratch/window.log" 2>&1) &
  pid=$!
  form=$(timeout 30 xdotool search --sync --name '^VARIDAC EPROM FILLER $' | head -1) || true
  [ -n "$form" ] || fail "the window did not appear with $1"
}
stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  for _ in $(seq 50); do [ -z "$(xdotool search --name '^VARIDAC EPROM FILLER $' 2>/dev/null)" ] && break; sleep 0.1; done
}

mkdir "$scratch/Mätlisten"
# Two points where a list starts with eleven.
printf '700,2.6\r\n1600,11.5\r\n' >"$scratch/Mätlisten/Empfänger Liste.INF"
echo "window: a list without points named at start"
start_with 'Mätlisten\Empfänger Liste.INF'
box=$(timeout 20 xdotool search --sync --name '^Error !$' | head -1) || true
[ -n "$box" ] || fail "no error box for a list without points"
[ -z "$(probe form | sed -n 's/^txtDAlist=//p')" ] || fail "a list without points filled the list"
stop

echo "window: a good list named at start"
cp "$build/../examples/EXAMPLE.INF" "$scratch/Mätlisten/Empfänger Liste.INF"
start_with 'Mätlisten\Empfänger Liste.INF'
items=""
for _ in $(seq 30); do
  items=$(probe form | sed -n 's/^txtDAlist=//p')
  [ -n "$items" ] && break
  sleep 0.2
done
[ "$(echo "$items" | wc -l)" = 13 ] || fail "the list holds $(echo "$items" | wc -l) items: $items"
[ "$(echo "$items" | sed -n 2p)" = "  600 ,  2.1" ] || fail "second item '$(echo "$items" | sed -n 2p)'"
sleep 1
[ -z "$(xdotool search --name '^Error !$' 2>/dev/null)" ] || fail "a good list showed the error box"
stop
echo "Windows window's command line checked under Wine"
