#!/usr/bin/env bash
# The Windows window under Wine on an X server, driven with xdotool as a
# user drives it: typed voltages, Read File through the system's own open
# dialog, 27C256, Start Filler (the files must equal the Linux companion's),
# a bad list, the help button with and without the guide or a program that
# shows it, and Exit. Then,
# started anew without a list: a list typed into the tuning curve's fields,
# saved with Ctrl+S through the system's save dialog and run (its files must
# equal those the Windows companion writes for it).
# Usage: window_test.sh BUILD_DIR COMPANION
#   COMPANION: the Linux varidac-fill to compare with.
# Needs WINEPREFIX, a running Wine server and DISPLAY.
set -euo pipefail
build=$(cd "$1" && pwd) companion=$2
scratch=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1 || true
  wine reg delete 'HKCR\VaridacGuideTest' /f >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# A command that fails outside a check (a search that timed out) says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
windows_path() { echo "Z:${1//\//\\}"; }

probe() { wine "$build/bin/window_probe.exe" "$@" | tr -d '\r'; }
field() { probe form | sed -n "s/^$1=//p"; }
curve_field() { probe curve | sed -n "s/^$1=//p"; }

# Makes the window the active one again, with the focus where it was: a
# click on its bare face (X's focus alone does not tell Wine, when it
# already had it).
activate_form() {
  xdotool windowfocus --sync "$form"
  xdotool mousemove --window "$form" 3 300 click 1
}

# The same for the tuning curve: a click above its column of fields.
activate_curve() {
  xdotool windowfocus --sync "$curve"
  xdotool mousemove --window "$curve" 652 8 click 1
  for _ in $(seq 30); do [ "$(curve_field active)" = yes ] && return 0; sleep 0.1; done
  fail "the tuning curve did not become the active window"
}

# Presses Tab until the control NAME has the focus.
focus_to() {
  local focus
  for _ in $(seq 24); do
    focus=$(field focus)
    [ "$focus" = "$1" ] && return 0
    # Another program took the activation (the guide's viewer does): take it back.
    if [ -z "$focus" ]; then
      activate_form
      sleep 0.3
      continue
    fi
    xdotool key Tab
  done
  fail "Tab never reached $1 (focus: $(field focus))"
}

# The message box TITLE must show exactly the lines EXPECTED, system-modal;
# OK closes it.
expect_box() {
  local title=$1 expected=$2$'\n'"[system-modal]" box shown
  shown=$(probe box "$title") || fail "no message box \"$title\""
  [ "$shown" = "$expected" ] || fail "box \"$title\" says:
$shown
expected:
$expected"
  box=$(xdotool search --name "^$title\$" | head -1)
  xdotool windowfocus --sync "$box"
  xdotool key Return
  for _ in $(seq 50); do
    [ -z "$(xdotool search --name "^$title\$" 2>/dev/null)" ] && break
    sleep 0.1
  done
  activate_form
}

mkdir "$scratch/program" "$scratch/lists" "$scratch/linux"
cp "$build/bin/varidac.exe" "$build/bin/VARIDAC.HLP" "$scratch/program/"
cp "$build/../examples/EXAMPLE.INF" "$scratch/lists/LIST.INF"
printf '700,2.6\r\n1600,11.5\r\n' >"$scratch/lists/BAD.INF"

(cd "$scratch" && exec wine "$scratch/program/varidac.exe" >"$scratch/window.log" 2>&1) &
pid=$!
form=$(timeout 30 xdotool search --sync --name '^VARIDAC EPROM FILLER $' | head -1)
[ -n "$form" ] || fail "the window did not appear"
# The window is mapped before it takes the focus: give it a moment.
for _ in $(seq 20); do [ "$(field focus)" = "optEprom(0)" ] && break; sleep 0.2; done
[ "$(field focus)" = "optEprom(0)" ] || fail "the focus is not on 27C64 at start"
[ "$(field checked)" = "optEprom(0)" ] || fail "27C64 is not selected at start"
[ "$(field txtStep)" = "0.0412" ] || fail "the step at start is not 0.0412"
activate_form

echo "window: typed voltages"
# Typed voltages: a letter is refused, Enter moves to the other field.
focus_to txtStartVoltage
xdotool type --delay 50 'x1.2'
xdotool key Return
[ "$(field focus)" = "txtEndVoltage" ] || fail "Enter did not move to the end voltage"
xdotool key End shift+Home
xdotool type --delay 50 '12.5'
[ "$(field txtStartVoltage)" = "1.2" ] || fail "start voltage reads '$(field txtStartVoltage)'"
[ "$(field txtEndVoltage)" = "12.5" ] || fail "end voltage reads '$(field txtEndVoltage)'"
[ "$(field txtStep)" = "0.0443" ] || fail "step reads '$(field txtStep)'"

# Read File through the real open dialog: it offers "*.INF", and the name
# typed into it is the list read.
dialog_title='Open Varidac *.INF file'
dialog_name='^Open Varidac \*\.INF file$'
open_dialog() {
  focus_to cmdLeeslijst
  xdotool key space
  dialog=$(timeout 15 xdotool search --sync --name "$dialog_name" | head -1)
  [ "$(probe dialog "$dialog_title")" = "file=*.INF" ] || fail "the dialog offers '$(probe dialog "$dialog_title")'"
  xdotool windowfocus --sync "$dialog"
}
close_dialog() {
  for _ in $(seq 50); do
    [ -z "$(xdotool search --name "$dialog_name" 2>/dev/null)" ] && break
    sleep 0.1
  done
  activate_form
}
read_list() {
  open_dialog
  xdotool type --delay 30 "$(windows_path "$1")"
  xdotool key Return
  close_dialog
}
read_list "$scratch/lists/LIST.INF"
items=$(field txtDAlist)
[ "$(echo "$items" | wc -l)" = 13 ] || fail "the list holds $(echo "$items" | wc -l) items"
[ "$(echo "$items" | head -1)" = "  500 ,  1.2" ] || fail "first item '$(echo "$items" | head -1)'"
[ "$(echo "$items" | sed -n 2p)" = "  600 ,  2.1" ] || fail "second item '$(echo "$items" | sed -n 2p)'"
[ "$(echo "$items" | tail -1)" = "  1700 ,  12.5" ] || fail "last item '$(echo "$items" | tail -1)'"

echo "window: the tuning curve"
# Enter in the list opens the curve beside the window; Escape closes it.
focus_to txtDAlist
xdotool key Return
curve=$(timeout 15 xdotool search --sync --onlyvisible --name '^Tuning curve - LIST.INF$' | head -1)
[ -n "$curve" ] || fail "Enter in the list did not open the tuning curve"
if [ -n "${VARIDAC_CURVE_PICTURE:-}" ]; then sleep 1; import -window "$curve" "$VARIDAC_CURVE_PICTURE"; fi
activate_curve
xdotool key Escape
for _ in $(seq 50); do [ -z "$(xdotool search --name '^Tuning curve' 2>/dev/null)" ] && break; sleep 0.1; done
[ -z "$(xdotool search --name '^Tuning curve' 2>/dev/null)" ] || fail "Escape did not close the tuning curve"
activate_form

echo "window: 27C256, Start Filler"
# 27C256, then Start Filler: the files equal the Linux companion's.
focus_to 'optEprom(2)'
xdotool key space
[ "$(field checked)" = "optEprom(2)" ] || fail "27C256 is not selected"
focus_to cmdFiller
xdotool key space
expect_box 'Run OK!' $'Okido!  \nLIST_27C256.BIN is created.  '
cp "$scratch/lists/LIST.INF" "$scratch/linux/"
LC_ALL=C.UTF-8 "$companion" --start 1.2 --end 12.5 --eprom 27C256 "$scratch/linux/LIST.INF" >/dev/null
for f in LIST_27C256.BIN LIST_test_DA.TXT; do
  cmp "$scratch/linux/$f" "$scratch/lists/$f" || fail "$f differs from the companion's"
done

echo "window: a cancelled dialog, a bad list"
# Cancel ends Read File without a word.
open_dialog
xdotool key Escape
close_dialog
sleep 1
[ -z "$(xdotool search --name '^Error !$' 2>/dev/null)" ] || fail "a cancelled dialog showed a message"
[ "$(field txtDAlist | tail -1)" = "  1700 ,  12.5" ] || fail "a cancelled dialog changed the list"
# A bad list: the error box, and the list as it was.
read_list "$scratch/lists/BAD.INF"
expect_box 'Error !' $'Something is wrong!  \nThe INF input file doesn\'t start the way it should  \nCorrect the INF file and reload  '
[ "$(field txtDAlist | head -1)" = "  500 ,  1.2" ] || fail "the bad list changed the list"

echo "window: help"
# Help: the guide goes to the program that shows HTML, here one that keeps a copy.
wine reg add 'HKCR\.html' /ve /d VaridacGuideTest /f >/dev/null
wine reg add 'HKCR\VaridacGuideTest\shell\open\command' /ve \
  /d "cmd.exe /c copy \"%1\" \"$(windows_path "$scratch/shown.html")\"" /f >/dev/null
focus_to Command1
xdotool key space
for _ in $(seq 100); do [ -f "$scratch/shown.html" ] && break; sleep 0.1; done
cmp "$scratch/shown.html" "$build/bin/VARIDAC.HLP" || fail "the guide was not shown"
# The copy shown is the user's own, in their local application data; none in the temporary folder.
local_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")
temp_folder=$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")
cmp "$local_data/Varidac/VARIDAC user's guide.html" "$build/bin/VARIDAC.HLP" || fail "no copy of the guide in $local_data/Varidac"
[ ! -e "$temp_folder/VARIDAC user's guide.html" ] || fail "a copy of the guide was left in $temp_folder"
# Where the program for HTML fails at once (Wine's own, winebrowser, on a
# system without a browser for it to start) or no program shows HTML, "?"
# says so.
browser=false
for program in xdg-open firefox chromium; do command -v "$program" >/dev/null && browser=true; done
if ! $browser; then
  wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null
  activate_form
  focus_to Command1
  xdotool key space
  expect_box 'Error !' $'Something is wrong!   \nHelp file VARIDAC.HLP not found  '
fi
wine reg delete 'HKCR\.html' /f >/dev/null
activate_form
focus_to Command1
xdotool key space
expect_box 'Error !' $'Something is wrong!   \nHelp file VARIDAC.HLP not found  '
wine reg add 'HKCR\.html' /ve /d VaridacGuideTest /f >/dev/null
rm "$scratch/program/VARIDAC.HLP"
activate_form
focus_to Command1
xdotool key space
expect_box 'Error !' $'Something is wrong!   \nHelp file VARIDAC.HLP not found  '

echo "window: Exit"
# Exit ends the program.
focus_to cmdStoppen
xdotool key space
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then fail "Exit did not end the program"; fi
wait "$pid" || fail "the program ended with status $?"
pid=""

echo "window: a list typed into the tuning curve"
# Started without a list: Enter in the empty list opens empty fields, the
# first one to type in; Enter moves on to the next.
mkdir "$scratch/written" "$scratch/companion"
(cd "$scratch" && exec wine "$scratch/program/varidac.exe" >"$scratch/editor.log" 2>&1) &
pid=$!
form=$(timeout 30 xdotool search --sync --name '^VARIDAC EPROM FILLER $' | head -1)
[ -n "$form" ] || fail "the window did not appear again"
for _ in $(seq 20); do [ "$(field focus)" = "optEprom(0)" ] && break; sleep 0.2; done
activate_form
focus_to txtDAlist
xdotool key Return
curve=$(timeout 15 xdotool search --sync --onlyvisible --name '^Tuning curve - ' | head -1)
[ -n "$curve" ] || fail "Enter in the empty list did not open the tuning curve"
activate_curve
[ "$(curve_field focus)" = "txtPoint(0)" ] || fail "the focus is on '$(curve_field focus)', not the 600 kHz field"
voltages=(2.1 2.6 3.2 3.9 4.7 5.6 6.6 7.7 8.9 10.2 11.5)
expected=""
for i in "${!voltages[@]}"; do
  xdotool type --delay 40 "${voltages[$i]}"
  xdotool key Return
  expected+="$((600 + 100 * i)),${voltages[$i]}"$'\r\n'
done
# Once the window has taken every key typed.
for _ in $(seq 25); do [ "$(curve_field 'txtPoint(10)')" = 11.5 ] && break; sleep 0.2; done
fields=$(probe curve)
for i in "${!voltages[@]}"; do
  typed=$(echo "$fields" | sed -n "s/^txtPoint($i)=//p")
  [ "$typed" = "${voltages[$i]}" ] || fail "the $((600 + 100 * i)) kHz field reads '$typed'"
done
[ "$(echo "$fields" | sed -n 's/^focus=//p')" = "txtPoint(10)" ] || fail "Enter in the last field left it for '$(curve_field focus)'"

# Ctrl+S: a new list asks for its name in the system's save dialog.
save_name='^Save Varidac \*\.INF file$'
xdotool key ctrl+s
dialog=$(timeout 15 xdotool search --sync --onlyvisible --name "$save_name" | head -1)
[ -n "$dialog" ] || fail "Ctrl+S did not open the save dialog"
probe dialog 'Save Varidac *.INF file' >/dev/null
xdotool windowfocus --sync "$dialog"
xdotool type --delay 30 "$(windows_path "$scratch/written/NEW.INF")"
xdotool key Return
# The list is written once the dialog has gone.
for _ in $(seq 50); do
  [ -f "$scratch/written/NEW.INF" ] && [ "$(curve_field title)" = "Tuning curve - NEW.INF" ] && break
  sleep 0.2
done
[ -f "$scratch/written/NEW.INF" ] || fail "no NEW.INF saved"
cmp <(printf '%s' "$expected") "$scratch/written/NEW.INF" || fail "NEW.INF holds other bytes than typed"
[ "$(curve_field title)" = "Tuning curve - NEW.INF" ] || fail "the saved list's title is '$(curve_field title)'"
# The window has read the saved list.
items=$(field txtDAlist)
[ "$(echo "$items" | sed -n 2p)" = "  600 ,  2.1" ] || fail "the window's list starts '$(echo "$items" | sed -n 2p)'"

# Start Filler with 27C64: the files equal the Windows companion's for the same list.
activate_form
focus_to cmdFiller
xdotool key space
expect_box 'Run OK!' $'Okido!  \nNEW_27C64.BIN is created.  '
cp "$scratch/written/NEW.INF" "$scratch/companion/"
wine "$build/bin/varidac-fill.exe" --start 1.5 --end 12 --eprom 27C64 "$(windows_path "$scratch/companion/NEW.INF")" >/dev/null
for f in NEW_27C64.BIN NEW_test_DA.TXT; do
  cmp "$scratch/companion/$f" "$scratch/written/$f" || fail "$f differs from the Windows companion's"
done

# Nothing is left unsaved: Exit ends the program without a question.
focus_to cmdStoppen
xdotool key space
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then fail "Exit did not end the program after saving"; fi
wait "$pid" || fail "the program ended with status $?"
pid=""
echo "Windows window checked under Wine"
