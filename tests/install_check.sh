#!/bin/sh
# Installs the build into a fresh prefix and checks the tree a distribution would ship: the game
# in games/ and its bitmaps in share/games/rink (its sounds in sounds/ there), a valid menu
# entry, the icons at their sizes, valid AppStream metadata, man pages groff reads without a
# warning, the development tools only when asked for, no Debian-format files (the package adds
# those), and the installed game finding its bitmaps from any working directory. Skipped (exit 77)
# without the checking tools.
#   install_check.sh BUILD_DIR LSAN_SUPPRESSIONS
set -eu
build=$1
suppressions=$2
fail() { echo "install check: $*" >&2; exit 1; }
missing=""
for tool in desktop-file-validate appstreamcli groff; do
  command -v "$tool" >/dev/null || missing="$missing $tool"
done
[ -z "$missing" ] || { echo "install check skipped: no$missing (make check installs them)"; exit 77; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/games/rink" ] || fail "games/rink is missing"
[ -x "$prefix/games/rink-relay" ] || fail "games/rink-relay is missing"
grep -qx "ExecStart=$prefix/games/rink-relay --bind 127.0.0.1 --port 7777" "$prefix/lib/systemd/system/rink-relay.service" ||
  fail "the relay's unit does not start $prefix/games/rink-relay"
data="$prefix/share/games/rink"
bitmaps=$(find "$data" -name '*.bmp' | wc -l)
[ "$bitmaps" -eq 39 ] || fail "expected 39 bitmaps in share/games/rink, found $bitmaps"
[ -z "$(find "$prefix/games" -name '*.bmp')" ] || fail "bitmaps were installed beside the program"
sounds=$(find "$data/sounds" -name '*.wav' | wc -l)
[ "$sounds" -eq 9 ] || fail "expected 9 sound effects in share/games/rink/sounds, found $sounds"
[ ! -e "$prefix/bin/rink-replay" ] || fail "rink-replay is installed without being asked for"
cmake --install "$build" --prefix "$prefix" --component tools >/dev/null
[ -x "$prefix/bin/rink-replay" ] || fail "the tools component has no bin/rink-replay"
[ ! -e "$prefix/share/doc/rink" ] || fail "a plain install writes $(ls "$prefix/share/doc/rink")"

entry="$prefix/share/applications/org.rinkgame.Rink.desktop"
desktop-file-validate "$entry" || fail "the menu entry is not valid"
for line in Exec=rink Icon=org.rinkgame.Rink StartupWMClass=rink 'Categories=Game;ArcadeGame;SportsGame;'; do
  grep -qxF "$line" "$entry" || fail "the menu entry has no line $line"
done

# A PNG's first chunk gives its width and height as two 4-byte numbers from byte 16.
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/org.rinkgame.Rink.png"
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  header=$(od -An -tu4 --endian=big -j16 -N8 "$icon" | tr -s ' ')
  [ "$header" = " $size $size" ] || fail "the ${size}x${size} icon is$header"
done

appstreamcli validate --no-net "$prefix/share/metainfo/org.rinkgame.Rink.metainfo.xml" >/dev/null ||
  fail "the AppStream metadata is not valid"

for page in rink.6 rink-replay.6; do
  file="$prefix/share/man/man6/$page.gz"
  [ -f "$file" ] || fail "man page $page is missing"
  warnings=$(gzip -dc "$file" | groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || fail "groff warns about $page: $warnings"
done

relay_warnings=$(gzip -dc "$prefix/share/man/man6/rink-relay.6.gz" | groff -man -ww -z 2>&1) || fail "no rink-relay.6"
[ -z "$relay_warnings" ] || fail "groff warns about rink-relay.6: $relay_warnings"

# The installed game started from an empty working directory, on SDL's dummy screen: the
# start-up reads every bitmap before the main loop takes the interrupt that ends the game, and
# any bitmap it cannot read shows a message box, copied to standard error.
run_game() {
  (cd "$prefix/empty" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy \
     LSAN_OPTIONS="suppressions=$suppressions" \
     timeout --preserve-status -k 10 4 "$prefix/games/rink" 2>"$prefix/stderr")
}
mkdir "$prefix/empty"
# A broken copy beside the program must not be read: the data folder comes first.
echo broken >"$prefix/games/hockeyrink.bmp"
run_game || fail "the installed game did not end cleanly ($(cat "$prefix/stderr"))"
[ ! -s "$prefix/stderr" ] || fail "the installed game did not find its bitmaps: $(cat "$prefix/stderr")"
# Without the data folder, the same run must complain.
mv "$data" "$data.away"
run_game || fail "the game without its bitmaps did not end cleanly ($(cat "$prefix/stderr"))"
grep -q error "$prefix/stderr" || fail "the game without its data folder said nothing"
