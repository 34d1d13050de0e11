#!/usr/bin/env bash
# The flags CMake generates, configure only: a build with no preset (as a
# distribution's packager makes it) warns but never stops on a warning, and
# the default preset, which scripts/ and CI use, stops on every one.
# Usage: warning_flags_test.sh SOURCE_DIR CXX_COMPILER
set -euo pipefail
source=$1 cxx=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

compile_lines() { grep '"command":' "$scratch/compile_commands.json"; }
every_line_has() {
  local total with
  total=$(compile_lines | wc -l)
  with=$(compile_lines | grep -c -e " $1 " || true)
  [ "$total" -gt 0 ] && [ "$with" = "$total" ]
}

cmake -S "$source" -B "$scratch" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" >"$scratch/configure.log" 2>&1 \
  || { cat "$scratch/configure.log" >&2; fail "configure with no preset"; }
for flag in -Wall -Wextra -Wpedantic; do
  every_line_has "$flag" || fail "a compile line with no preset lacks $flag"
done
stopping=$(compile_lines | grep -e '-Werror' || true)
if [ -n "$stopping" ]; then
  head -n 3 <<<"$stopping" >&2
  fail "-Werror without a preset"
fi

cmake --preset default -S "$source" -B "$scratch" >/dev/null || fail "configure with the default preset"
every_line_has -Werror || fail "a compile line of the default preset lacks -Werror"
echo "warning flags checked on $(compile_lines | wc -l) compile lines"
