#!/bin/sh
# The Debian package as `make package` makes it, with this machine's CMake, in a build tree of its
# own: lintian must find no error in it (make package fails on one); it must hold its copyright
# file and changelog under /usr and nothing under /usr/local; installed into an empty root and
# removed again, dpkg must print no warning and leave nothing behind.
#   package_check.sh SOURCE_DIR
set -eu
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

make -C "$source" package RUN_DIR="$work/build" >"$work/make.log" 2>&1 ||
  fail "make package failed: $(tail -n 20 "$work/make.log")"
deb=$(ls "$work/build"/rink_*.deb)
dpkg-deb --contents "$deb" | awk '{print $6}' >"$work/contents"
grep -q '^\./usr/local' "$work/contents" && fail "files under /usr/local: $(grep '^\./usr/local' "$work/contents")"
for doc in copyright changelog.gz; do
  grep -qx "\./usr/share/doc/rink/$doc" "$work/contents" || fail "no /usr/share/doc/rink/$doc"
done
description=$(dpkg-deb --field "$deb" Description)
case $description in
  *"whole factor"*|*"against the computer"*) fail "a stale description: $description" ;;
esac

# An empty root of dpkg's own; the game's libraries are not installed there, which only the
# installation is told to accept. dpkg needs root for the owners of what it unpacks.
[ "$(id -u)" -eq 0 ] || { echo "package check: installing skipped: dpkg needs root"; exit 77; }
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
find "$root" | sort >"$work/before"
dpkg_in_root() { dpkg --root="$root" --log=/dev/null "$@"; }
dpkg_in_root --force-depends -i "$deb" >/dev/null 2>"$work/install.err" ||
  fail "dpkg -i failed: $(cat "$work/install.err")"
[ -x "$root/usr/games/rink" ] || fail "no /usr/games/rink after installing"
[ -x "$root/usr/games/rink-relay" ] || fail "no /usr/games/rink-relay after installing"
grep -q '^ExecStart=/usr/games/rink-relay ' "$root/usr/lib/systemd/system/rink-relay.service" || fail "no relay unit"
[ ! -e "$root/etc/systemd" ] || fail "installing enabled something: $(find "$root/etc/systemd")"
dpkg_in_root -r rink >/dev/null 2>"$work/remove.err" || fail "dpkg -r failed: $(cat "$work/remove.err")"
[ ! -s "$work/remove.err" ] || fail "dpkg -r warned: $(cat "$work/remove.err")"
find "$root" | sort >"$work/after"
left=$(comm -13 "$work/before" "$work/after" | grep -v "^$root/var/lib/dpkg/" || true)
[ -z "$left" ] || fail "left behind after dpkg -r: $left"
