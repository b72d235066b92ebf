#!/bin/sh
# The shipped game carries nothing of the headless backend or the test hooks: no symbol of
# HeadlessBackend or of platform::testing in its symbol table.
#   shipped_symbols_check.sh PROGRAM
set -eu
program=$1
symbols=$(nm -C "$program") || { echo "symbols check: nm cannot read $program" >&2; exit 1; }
found=$(printf '%s\n' "$symbols" | grep -E 'HeadlessBackend|platform::testing::' || true)
if [ -n "$found" ]; then
  echo "symbols check: $program holds what only tests and tools may link:" >&2
  printf '%s\n' "$found" >&2
  exit 1
fi
printf '%s\n' "$symbols" | grep -q 'SdlBackend' || { echo "symbols check: no SdlBackend in $program" >&2; exit 1; }
