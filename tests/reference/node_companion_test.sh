#!/usr/bin/env bash
# The companion built for node against the Linux one: on each case below
# both run in the same folder, prepared the same way, and must give the same
# standard output and error, exit status and files, byte for byte. Then the
# node companion alone: a signal during its write leaves no temporary.
# Usage: node_companion_test.sh VARIDAC-FILL.MJS LINUX-VARIDAC-FILL
set -uo pipefail
mjs=$(realpath "$1")
native=$(realpath "$2")
example=$(realpath "$(dirname "$0")/../../examples/EXAMPLE.INF")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
work=$tmp/work
passed=0
failed=0

fail() {
  echo "FAIL $1"
  failed=$((failed + 1))
}

# Runs one companion in a fresh work folder holding EXAMPLE.INF: SETUP
# (shell text) there first, then the companion in an environment of only
# PATH, HOME and the words in $before: settings, then perhaps a program that
# starts the companion. Leaves the outcome in $tmp/NAME.{out,err,status} and
# the folder in $tmp/NAME.
run_in_work() {
  local name=$1 setup=$2
  shift 2
  rm -rf "$work" "$tmp/$name"
  mkdir "$work"
  (cd "$work" && cp "$example" EXAMPLE.INF && eval "$setup") || { echo "setup failed: $setup"; return 1; }
  (cd "$work" && env -i PATH="$PATH" HOME="$HOME" "${before[@]}" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err")
  echo $? >"$tmp/$name.status"
  mv "$work" "$tmp/$name"
}

# check NAME SETUP [VAR=VALUE...] [PROGRAM ARGS...] -- ARGS...
check() {
  local name=$1 setup=$2
  shift 2
  before=()
  while [ "$1" != "--" ]; do before+=("$1"); shift; done
  shift
  run_in_work linux "$setup" "$native" "$@" && run_in_work node "$setup" node "$mjs" "$@" || { fail "$name"; return; }
  local part
  for part in status out err; do
    if ! cmp -s "$tmp/linux.$part" "$tmp/node.$part"; then
      fail "$name: the $part differs"
      diff <(cat -A "$tmp/linux.$part") <(cat -A "$tmp/node.$part") | head -8
      return
    fi
  done
  if ! diff -r --no-dereference "$tmp/linux" "$tmp/node" >/dev/null; then
    fail "$name: the files differ"
    diff -r --no-dereference "$tmp/linux" "$tmp/node" | head -8
    return
  fi
  passed=$((passed + 1))
}

# Dumps made by the Linux companion, one as filled and one with a byte changed.
dump='"'"$native"'" EXAMPLE.INF >/dev/null'
changed_dump="$dump"' && printf "\\x00" | dd of=EXAMPLE_27C64.BIN bs=1 seek=100 conv=notrunc status=none'

check "usage" ":" --
check "help" ":" -- --help
check "version" ":" -- --version
check "unknown option" ":" -- --speed 1 EXAMPLE.INF
check "a voltage with a comma" ":" -- --start 1,5 EXAMPLE.INF
check "fill with a point" ":" LC_ALL=C.UTF-8 -- EXAMPLE.INF
check "fill with a comma" ":" LC_ALL=de_DE.UTF-8 -- EXAMPLE.INF
check "LC_NUMERIC before LANG" ":" LANG=de_DE.UTF-8 LC_NUMERIC=C.UTF-8 -- EXAMPLE.INF
check "an empty LC_ALL does not count" ":" LC_ALL= LANG=de_DE.UTF-8 -- EXAMPLE.INF
check "LC_ALL before LC_NUMERIC" ":" LC_ALL=C LC_NUMERIC=de_DE.UTF-8 -- EXAMPLE.INF
check "Intel HEX, 27C512 and the curve" ":" LC_ALL=de_DE.UTF-8 -- --format ihex --eprom 27C512 --plot curve.svg EXAMPLE.INF
check "S-records and 27C128" ":" -- --format srec --eprom 27C128 --start 1.2 --end 11.5 EXAMPLE.INF
check "a list in a subfolder" "mkdir sub && mv EXAMPLE.INF sub/" -- sub/EXAMPLE.INF
check "a list by its absolute path" ":" -- "$work/EXAMPLE.INF"
check "a list named in UTF-8" "mv EXAMPLE.INF Empfänger.INF" -- Empfänger.INF
check "earlier outputs replaced" "echo old >EXAMPLE_27C64.BIN && echo old >EXAMPLE_test_DA.TXT" -- EXAMPLE.INF
check "a list that is no list" "printf 'hello\\r\\n' >BAD.INF" -- BAD.INF
check "a list with decimal commas" "printf '600,2,1\\r\\n700,2,5\\r\\n' >COMMA.INF" -- COMMA.INF
check "a missing list" ":" -- MISSING.INF
check "a list name longer than a name can be" ":" -- "$(printf 'L%.0s' $(seq 300)).INF"
check "a list whose outputs' names would be too long" "mv EXAMPLE.INF $(printf 'M%.0s' $(seq 250)).INF" -- "$(printf 'M%.0s' $(seq 250)).INF"
check "a list that is a folder" "mkdir FOLDER.INF" -- FOLDER.INF
check "a list in a loop of links" "ln -s LOOP.INF LOOP.INF" -- LOOP.INF
check "a list below a file" ":" -- EXAMPLE.INF/L.INF
check "an output that is a folder" "mkdir EXAMPLE_27C64.BIN" -- EXAMPLE.INF
check "an output that is a symbolic link" "ln -s elsewhere EXAMPLE_test_DA.TXT" -- EXAMPLE.INF
check "an output in a folder that is gone" ":" -- --plot gone/curve.svg EXAMPLE.INF
check "a file-size limit" ":" prlimit --fsize=16384 -- --eprom 27C512 EXAMPLE.INF
check "a chip that is the same" "$dump" -- --check EXAMPLE_27C64.BIN EXAMPLE.INF
check "a chip that differs" "$changed_dump" -- --check EXAMPLE_27C64.BIN EXAMPLE.INF
check "a list recovered" "$dump" -- --recover EXAMPLE_27C64.BIN --start 1.50 --end 12.00 OUT.INF
check "a recovery onto an existing list" "$dump" -- --recover EXAMPLE_27C64.BIN --start 1.50 --end 12.00 EXAMPLE.INF
check "a standard output that is full" ":" sh -c 'exec "$@" >/dev/full' sh -- EXAMPLE.INF

# A SIGTERM while the first temporary is being synced (strace holds the
# sync back): the run first puts both files in place, then ends as the
# signal says, with no temporary left.
if command -v strace >/dev/null; then
  mkdir "$tmp/expected" && cp "$example" "$tmp/expected/EXAMPLE.INF"
  (cd "$tmp/expected" && env -i PATH="$PATH" "$native" EXAMPLE.INF >/dev/null)
  rm -rf "$work" && mkdir "$work" && cp "$example" "$work/EXAMPLE.INF"
  # The subshell becomes strace, whose child is node.
  (cd "$work" && exec env -i PATH="$PATH" strace -f -o /dev/null -e inject=fsync:delay_enter=2000000:when=1 \
     node "$mjs" EXAMPLE.INF >/dev/null 2>&1) &
  runner=$!
  for _ in $(seq 200); do
    [ -n "$(ls -A "$work" | grep -v -x EXAMPLE.INF)" ] && break
    sleep 0.05
  done
  kill -TERM "$(pgrep -P $runner -x node)"
  wait $runner
  status=$?
  left=$(ls -A "$work" | grep -v -x -e EXAMPLE.INF -e EXAMPLE_27C64.BIN -e EXAMPLE_test_DA.TXT)
  if [ $status -ne 143 ] || [ -n "$left" ] || ! diff -r -q "$tmp/expected" "$work" >/dev/null; then
    fail "a SIGTERM during the write: status $status, left $(ls -A "$work" | tr '\n' ' ')"
  else
    passed=$((passed + 1))
  fi
else
  echo "strace is missing: the SIGTERM case is left out"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
