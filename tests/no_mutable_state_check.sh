#!/bin/sh
# The match simulation and the display keep no state of their own: every value a frame changes
# lives in the match that the main loop owns. No object of the libraries given lies in a writable
# data section (.data or .bss; .data.rel.ro is read-only once loaded), apart from what the
# sanitizers add.
#   no_mutable_state_check.sh LIBRARY...
set -eu
[ $# -ge 1 ] || { echo "usage: no_mutable_state_check.sh LIBRARY..." >&2; exit 2; }
found=0
for library in "$@"; do
  objdump -t "$library" >/dev/null || { echo "state check: objdump cannot read $library" >&2; exit 1; }
  # Symbol lines: ADDRESS FLAGS... SECTION SIZE NAME, objects flagged O.
  mutable=$(objdump -t "$library" |
    awk '$0 ~ / O / && $(NF-2) ~ /^\.(data|bss)/ && $(NF-2) !~ /^\.data\.rel\.ro/ &&
         $NF !~ /^(__odr_asan|__asan|__ubsan|\.L)/ { print $NF }' |
    c++filt | sort -u)
  if [ -n "$mutable" ]; then
    echo "state check: $library keeps mutable state of its own:" >&2
    echo "$mutable" >&2
    found=1
  fi
done
exit $found
