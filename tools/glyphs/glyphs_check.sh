#!/bin/sh
# Bakes the glyphs afresh and compares them with the committed table. Skips (exit 77) where the
# font is not installed, and where the tables differ but the machine's DejaVu, FreeType or
# SDL_ttf are not those the table names: another release may draw a glyph differently, which is
# no fault of the table.
#   glyphs_check.sh BAKER COMMITTED
set -eu
baker=$1
committed=$2
fresh=$(mktemp)
trap 'rm -f "$fresh"' EXIT
status=0
"$baker" "$fresh" || status=$?
[ "$status" -eq 0 ] || exit "$status"
table() { sed -n '/baked_glyphs = /,$p' "$1"; }
versions() { grep '^// Baked with:' "$1"; }
[ "$(table "$fresh")" = "$(table "$committed")" ] && exit 0
if [ "$(versions "$fresh")" != "$(versions "$committed")" ]; then
  echo "not compared: the committed glyphs say '$(versions "$committed")', this machine '$(versions "$fresh")'"
  exit 77
fi
diff -u "$committed" "$fresh" || true
echo "the committed glyphs differ from a fresh bake with the same versions: run make glyphs" >&2
exit 1
