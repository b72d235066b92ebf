#!/bin/sh
# Installs the build into a fresh prefix and checks what a desktop needs to list and start the
# game: the program beside its 39 bitmaps, a valid menu entry pointing at it, a 48x48 icon.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/rink" ] || fail "bin/rink is missing"
bitmaps=$(find "$prefix/bin" -name '*.bmp' | wc -l)
[ "$bitmaps" -eq 39 ] || fail "expected 39 bitmaps beside rink, found $bitmaps"

entry="$prefix/share/applications/rink.desktop"
desktop-file-validate "$entry" || fail "the menu entry is not valid"
grep -qx "Exec=$prefix/bin/rink" "$entry" || fail "the menu entry does not start $prefix/bin/rink"
grep -qx "Categories=Game;ArcadeGame;" "$entry" || fail "the menu entry is not among the games"
grep -qx "Icon=rink" "$entry" || fail "the menu entry names no icon"

icon="$prefix/share/icons/hicolor/48x48/apps/rink.png"
# A PNG's first chunk gives its width and height as two 4-byte numbers from byte 16.
size=$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')
[ "$size" = "0000003000000030" ] || fail "the icon is not 48x48 (header $size)"
