#!/bin/sh
# The game's program links only the libraries the game uses: every NEEDED entry of its dynamic
# section must match one of the given patterns, and SDL must be among them.
#   needed_check.sh PROGRAM PATTERN...
set -eu
program=$1
shift
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
case "$needed" in
  *libSDL2-2.0.so*) ;;
  *) echo "needed check: no SDL among the libraries of $program: $needed" >&2; exit 1 ;;
esac
status=0
for library in $needed; do
  used=no
  for pattern in "$@"; do
    # shellcheck disable=SC2254
    case "$library" in $pattern) used=yes ;; esac
  done
  if [ "$used" = no ]; then
    echo "needed check: $program is linked against $library, which the game does not use" >&2
    status=1
  fi
done
exit $status
