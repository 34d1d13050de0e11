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

# The zip: one folder with the programs, the guide, the example, a note and
# the licence.
expected=("${programs[@]}" VARIDAC.HLP EXAMPLE.INF READ-ME.TXT)
[ -f LICENSE ] && expected+=(LICENSE.TXT)
text_files=(VARIDAC.HLP EXAMPLE.INF READ-ME.TXT)
[[ " ${expected[*]} " == *" LICENSE.TXT "* ]] && text_files+=(LICENSE.TXT)
python3 - "$build/$name.zip" "$name" "$scratch/unzipped" "${expected[@]}" <<'PY' || fail "zip contents"
import sys, zipfile
zip_path, top, dest, *expected = sys.argv[1:]
with zipfile.ZipFile(zip_path) as z:
    names = sorted(n for n in z.namelist() if not n.endswith('/'))
    want = sorted(top + '/' + e for e in expected)
    if names != want:
        sys.exit('zip holds %s, expected %s' % (names, want))
    z.extractall(dest)
PY
unzipped="$scratch/unzipped/$name"

# Every text file has Windows line ends, CR LF and nothing else.
crlf_only() {
  python3 - "$1" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
lf, crlf = data.count(b'\n'), data.count(b'\r\n')
sys.exit(0 if lf > 0 and lf == crlf and data.count(b'\r') == crlf else 1)
PY
}
for f in "${text_files[@]}"; do
  crlf_only "$unzipped/$f" || fail "$f in the zip has line ends other than CR LF"
done

# The note's table names each file of the zip, no more and no fewer, and
# tells of the uninstaller that the installer adds.
listed=$(tr -d '\r' <"$unzipped/READ-ME.TXT" | sed -n 's/^\([A-Za-z0-9_.-]*\.[A-Za-z]*\)  .*/\1/p' | sort)
[ "$listed" = "$(printf '%s\n' "${expected[@]}" | sort)" ] \
  || fail "READ-ME.TXT lists $(echo $listed), the zip holds ${expected[*]}"
grep -q 'Uninstall\.exe' "$unzipped/READ-ME.TXT" || fail "READ-ME.TXT does not tell of the installed copy's Uninstall.exe"
out=$(wine "$unzipped/varidac-fill.exe" --version | tr -d "\r" | head -1)
[ "$out" = "varidac-fill $version" ] || fail "the zip's companion says '$out'"

# The installer, silent: into Program Files with a Start-menu folder and an
# uninstaller that takes it all away again, leaving no file and no key.
installed="$WINEPREFIX/drive_c/Program Files/Varidac"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Varidac EPROM filler"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varidac'
vendor_key='HKLM\Software\Varidac'
rm -rf "$installed" "$menu"
# Every file of the prefix outside the system's own folder, to compare with
# after the uninstaller.
prefix_files() { (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -print | sort); }
prefix_files >"$scratch/files-before"
wine "$build/$name.exe" /S || fail "the installer failed"
[ "$(cd "$installed" && ls | sort)" = "$(printf '%s\n' "${expected[@]}" Uninstall.exe | sort)" ] \
  || fail "the installed folder holds $(cd "$installed" && echo *)"
# The same texts as the zip's (each package strips its own programs, which
# then differ in their time stamps).
for f in "${text_files[@]}"; do
  cmp -s "$installed/$f" "$unzipped/$f" || fail "the installed $f differs from the zip's"
done
# The system's installed apps read NoModify and NoRepair as numbers.
for value in NoModify NoRepair; do
  shown=$(wine reg query "$uninstall_key" /v "$value" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$value *//p")
  [ "$shown" = "REG_DWORD    0x1" ] || fail "$value is '$shown', not REG_DWORD 1"
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
for key in "$uninstall_key" "$vendor_key"; do
  if wine reg query "$key" >/dev/null 2>&1; then fail "the uninstaller left the registry key $key"; fi
done
# Its copy in the temporary folder goes a moment after it ends. Only what
# is new counts: a file that an earlier program's end removes meanwhile is
# none of the uninstaller's doing.
left() { prefix_files | comm -13 "$scratch/files-before" -; }
for _ in $(seq 60); do
  [ -z "$(left)" ] && break
  sleep 0.5
done
[ -z "$(left)" ] || fail "the uninstaller left $(left | tr '\n' ' ')"
echo "Windows zip and installer $name checked"
