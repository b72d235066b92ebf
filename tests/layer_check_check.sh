#!/bin/sh
# The layer check on small trees of its own: a tree that keeps to its layers passes, and an
# include that climbs out of its folder by a relative or absolute path fails, naming the file.
#   layer_check_check.sh CMAKE CHECK_LAYERS_SCRIPT
set -eu
cmake=$1
script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tree whose display source includes LINE, beside a core that holds a private header.
write_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/platform/core/include/platform" "$work/tree/platform/core/src" \
           "$work/tree/display/src" "$work/tree/sim/src"
  echo '#pragma once' >"$work/tree/platform/core/include/platform/draw.h"
  echo '#pragma once' >"$work/tree/platform/core/src/objects.h"
  printf '#include "objects.h"\n' >"$work/tree/platform/core/src/draw.cpp"
  printf '#include "display/display_ops.h"\n' >"$work/tree/sim/src/frame.cpp"
  printf '#include "platform/draw.h"\n%s\n' "$1" >"$work/tree/display/src/display_ops.cpp"
}

failures=0
check() {  # WHAT LINE EXPECTED (pass, or the start of the message)
  write_tree "$2"
  if "$cmake" -DRINK_LAYER_ROOT="$work/tree" -P "$script" >"$work/out" 2>&1; then
    result=pass
  else
    result=$(tr -s ' \n' ' ' <"$work/out")
  fi
  case $result in
    "$3"*|*"$3"*) ;;
    *) echo "layer check, $1: expected '$3', got: $result" >&2; failures=$((failures + 1)) ;;
  esac
}

relative="an include by a relative or absolute path can leave its layer"
check "a tree within its layers" '#include "display/sprites.h"' pass
check "a relative path into core's private folder" '#include "../../platform/core/src/objects.h"' \
      "display/src/display_ops.cpp: '#include \"../../platform/core/src/objects.h\"': $relative"
check "a relative path inside a named folder" '#include <display/../../sim/src/frame.h>' "$relative"
check "an absolute path" "#include \"$work/tree/platform/core/src/objects.h\"" "$relative"
check "a platform header of a folder display may not see" '#include "platform/headless.h"' \
      "no folder of platform/ has this header"
[ "$failures" -eq 0 ]
