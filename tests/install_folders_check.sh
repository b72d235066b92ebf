#!/bin/sh
# A packager's own folders: a separate build configured with the game two levels down, the tools
# and the data elsewhere, installed into a fresh prefix. The installed game and rink-replay must
# find the data from any working directory.
#   install_folders_check.sh SOURCE_DIR
set -eu
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install folders check: $*" >&2; exit 1; }

cmake -S "$source" -B "$work/build" -DCMAKE_BUILD_TYPE= -DRINK_INSTALL_GAMEDIR=lib/rink/bin \
  -DCMAKE_INSTALL_BINDIR=libexec -DCMAKE_INSTALL_DATADIR=data >/dev/null
cmake --build "$work/build" -j 2 >/dev/null
prefix=$work/prefix
cmake --install "$work/build" --prefix "$prefix" >/dev/null
cmake --install "$work/build" --prefix "$prefix" --component tools >/dev/null
[ -x "$prefix/lib/rink/bin/rink" ] || fail "no lib/rink/bin/rink"
[ -x "$prefix/libexec/rink-replay" ] || fail "no libexec/rink-replay"
[ -x "$prefix/lib/rink/bin/rink-relay" ] || fail "no lib/rink/bin/rink-relay"
grep -q "^ExecStart=$prefix/lib/rink/bin/rink-relay " "$prefix/lib/systemd/system/rink-relay.service" ||
  fail "the relay's unit names another program"
[ "$(find "$prefix/data/games/rink" -name '*.bmp' | wc -l)" -eq 39 ] || fail "no bitmaps in data/games/rink"

mkdir "$prefix/empty"
cd "$prefix/empty"
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy timeout --preserve-status -k 10 4 \
  "$prefix/lib/rink/bin/rink" 2>"$work/stderr" || fail "the game did not end cleanly: $(cat "$work/stderr")"
[ ! -s "$work/stderr" ] || fail "the game did not find its data: $(cat "$work/stderr")"
echo Escape | "$prefix/libexec/rink-replay" - >/dev/null 2>"$work/stderr" || fail "rink-replay failed: $(cat "$work/stderr")"
[ ! -s "$work/stderr" ] || fail "rink-replay did not find its data: $(cat "$work/stderr")"
