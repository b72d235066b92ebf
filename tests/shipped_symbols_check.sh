#!/bin/sh
# The shipped game carries no code that only tests and tools use: no global symbol defined by the
# libraries given (the test hooks, the tests' support, the headless backend) is defined in it, and
# it holds the SDL backend.
#   shipped_symbols_check.sh PROGRAM TEST_ONLY_LIBRARY...
# Functions and data of those libraries count (nm types T D B R, and V: a weak object such as the
# test hooks table); weak functions (W) do not, since inline functions and templates that the
# game shares with them are weak in both.
set -eu
[ $# -ge 2 ] || { echo "usage: shipped_symbols_check.sh PROGRAM TEST_ONLY_LIBRARY..." >&2; exit 2; }
program=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

nm --defined-only "$program" >"$work/program.nm" || { echo "symbols check: nm cannot read $program" >&2; exit 1; }
awk 'NF == 3 && $2 ~ /^[A-Z]$/ { print $3 }' "$work/program.nm" | sort -u >"$work/shipped"
grep -q 'SdlBackend' "$work/shipped" || { echo "symbols check: no SdlBackend in $program" >&2; exit 1; }

for library in "$@"; do
  nm --defined-only "$library" >"$work/library.nm" || { echo "symbols check: nm cannot read $library" >&2; exit 1; }
  # Of the weak objects, vtables, type information, guard variables and the compiler's own (not
  # C++ names) come with any class or function the game shares.
  awk 'NF == 3 && ($2 ~ /^[TDBR]$/ || ($2 == "V" && $3 ~ /^_Z/ && $3 !~ /^_Z(TV|TI|TS|GV)/)) { print $3 }' \
    "$work/library.nm"
done | sort -u >"$work/test_only"
[ -s "$work/test_only" ] || { echo "symbols check: the test-only libraries define no symbol" >&2; exit 1; }

comm -12 "$work/shipped" "$work/test_only" >"$work/found"
if [ -s "$work/found" ]; then
  echo "symbols check: $program holds what only tests and tools may link:" >&2
  c++filt <"$work/found" >&2
  exit 1
fi
echo "symbols check: none of $(wc -l <"$work/test_only") test-only symbols in $program"
