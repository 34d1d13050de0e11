#!/usr/bin/env bash
# The Windows programs, zip and installer of a finished cross build, checked
# under Wine (WINEPREFIX set, a Wine server running).
# Usage: windows_package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
name=varidac-$version-windows-x64
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

programs=(varidac-fill.exe)
[ -f "$build/bin/varidac.exe" ] && programs+=(varidac.exe)

# Only DLLs that every Windows has: nothing needs to ship beside the programs.
# And none that start-up can do without: the open dialog's and the shell's
# libraries, with all they load in turn, are loaded when first wanted.
for exe in "${programs[@]}"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$build/bin/$exe" | sed -n 's/^\s*DLL Name: //p')
  echo "$exe imports: $(echo $dlls)"
  for dll in $dlls; do
    echo "$dll" | grep -qiE '^(kernel32|user32|gdi32|comctl32|advapi32|msvcrt)\.dll$' \
      || fail "$exe needs $dll"
  done
done

# The zip: one folder with the programs, the guide, the example and a note
# with Windows line ends.
expected=("${programs[@]}" VARIDAC.HLP EXAMPLE.INF READ-ME.TXT)
[ -f LICENSE ] && expected+=(LICENSE.TXT)
python3 - "$build/$name.zip" "$name" "$scratch/unzipped" "${expected[@]}" <<'PY' || fail "zip contents"
import sys, zipfile
zip_path, top, dest, *expected = sys.argv[1:]
with zipfile.ZipFile(zip_path) as z:
    names = sorted(n for n in z.namelist() if not n.endswith('/'))
    want = sorted(top + '/' + e for e in expected)
    if names != want:
        sys.exit('zip holds %s, expected %s' % (names, want))
    note = z.read(top + '/READ-ME.TXT')
    if note.count(b'\n') == 0 or note.count(b'\n') != note.count(b'\r\n'):
        sys.exit('READ-ME.TXT has line ends other than CR LF')
    z.extractall(dest)
PY
out=$(wine "$scratch/unzipped/$name/varidac-fill.exe" --version | tr -d "\r" | head -1)
[ "$out" = "varidac-fill $version" ] || fail "the zip's companion says '$out'"

# The installer, silent: into Program Files with a Start-menu folder and an
# uninstaller that takes it all away again.
installed="$WINEPREFIX/drive_c/Program Files/Varidac"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Varidac EPROM filler"
rm -rf "$installed" "$menu"
wine "$build/$name.exe" /S || fail "the installer failed"
for f in "${expected[@]}" Uninstall.exe; do
  [ -f "$installed/$f" ] || fail "the installer did not install $f"
done
[ -f "$menu/Uninstall.lnk" ] || fail "no Start-menu entry for the uninstaller"
if [ -f "$build/bin/varidac.exe" ]; then
  [ -f "$menu/Varidac EPROM filler.lnk" ] || fail "no Start-menu entry for the window"
fi
mkdir "$scratch/lists"
cp "$installed/EXAMPLE.INF" "$scratch/lists/"
wine "$installed/varidac-fill.exe" --eprom 27C128 "$scratch/lists/EXAMPLE.INF" >/dev/null
[ "$(stat -c %s "$scratch/lists/EXAMPLE_27C128.BIN")" = 16384 ] || fail "the installed companion wrote no image"

# The uninstaller copies itself away and returns at once; the removal follows.
wine "$installed/Uninstall.exe" /S
for _ in $(seq 60); do
  [ -e "$installed" ] || [ -e "$menu" ] || break
  sleep 0.5
done
[ ! -e "$installed" ] || fail "the uninstaller left $(ls "$installed")"
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varidac' >/dev/null 2>&1; then
  fail "the uninstaller left its registry key"
fi
echo "Windows zip and installer $name checked"
