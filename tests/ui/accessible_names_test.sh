#!/usr/bin/env bash
# The window and the curve window as a screen reader reads them, through the
# desktop's accessibility bus: every control that takes the focus must have
# a name of its own, not its frame's caption or nothing.
set -euo pipefail
program="$1"
here="$(cd "$(dirname "$0")" && pwd)"
for tool in xvfb-run xdotool dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "$tool missing: skipped"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi missing: skipped"; exit 77; }
export PROGRAM="$program" HERE="$here"
xvfb-run -a -s "-screen 0 1280x720x24 -dpi 96" dbus-run-session -- bash -euo pipefail -c '
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$PROGRAM" &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  id=$(timeout 15 xdotool search --sync --name "^VARIDAC EPROM FILLER" | head -1)
  sleep 0.5
  xdotool mousemove --window "$id" 184 140 click --repeat 2 --delay 80 1   # the D/A tune list opens the curve
  timeout 15 xdotool search --sync --name "^Tuning curve" >/dev/null
  /usr/bin/python3 "$HERE/accessible_names.py" varidac "VARIDAC EPROM FILLER" "Tuning curve"
' 2> >(grep -v "dbus-daemon\|SpiRegistry\|XDG_RUNTIME" >&2)
