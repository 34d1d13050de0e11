#!/usr/bin/env bash
# Device nodes named as outputs stay device nodes: the run is refused and
# nothing is renamed over them. Tried only inside a private mount namespace
# with a /dev of its own: on the machine's own /dev a failure would break
# every program that writes to /dev/null.
# usage: device_targets.sh VARIDAC-FILL LIST
set -euo pipefail
fill=$1
list=$2

if ! unshare -m --propagation private true 2>/dev/null; then
  echo "no private mount namespace can be made here: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$list" "$work/L.INF"
"$fill" "$work/L.INF" >/dev/null

unshare -m --propagation private bash -s "$fill" "$work" <<'INNER'
set -uo pipefail
fill=$1
work=$2
mount -t tmpfs none /dev || exit 77
mknod -m 666 /dev/null c 1 3 && mknod -m 666 /dev/full c 1 7 || exit 77
failed=0
expect_refused() {  # device, reason, command...
  local device=$1 reason=$2
  shift 2
  local status=0
  "$@" >"$work/out" 2>"$work/err" || status=$?
  if [ "$status" -ne 1 ]; then echo "FAIL: $* exited with $status"; failed=1; fi
  if ! grep -qxF "Cannot write $device  " "$work/err" || ! grep -qxF "$reason  " "$work/err"; then
    echo "FAIL: $* said:"; cat "$work/err"; failed=1
  fi
  if [ ! -c "$device" ]; then echo "FAIL: $device is no longer a device after $*"; failed=1; fi
}
reason="It is a device or a pipe, not a file: choose another name"
expect_refused /dev/null "$reason" "$fill" --plot /dev/null "$work/L.INF"
expect_refused /dev/full "$reason" "$fill" --recover "$work/L_27C64.BIN" --start 1.50 --end 12.00 /dev/full
expect_refused /dev/full "$reason" "$fill" --recover "$work/L_27C64.BIN" --start 1.50 --end 12.00 --force /dev/full
if ls /dev | grep -q varidac; then echo "FAIL: a temporary was left in /dev"; ls -la /dev; failed=1; fi
[ "$failed" -eq 0 ] && echo "3 passed, 0 failed"
exit "$failed"
INNER
