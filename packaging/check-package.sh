#!/bin/sh
# Unpacks the archive into a fresh directory whose path holds a space, |, &, $ and %, puts it on
# the menu of a user of its own, starts the program as the menu entry names it, and takes it off
# the menu again, which must leave that user's files as they were. The shipped line library is
# swapped for the simulated one first: no serial device is ever opened here.
# Usage: check-package.sh ARCHIVE SIMULATED_LIBRARY
set -eu
archive=$1
sim=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "package: $*" >&2; exit 1; }
mkdir "$dir/unpacked"
tar -xzf "$archive" -C "$dir/unpacked"
top="$dir/a b|c&d\$e%f"
mv "$dir/unpacked"/* "$top"
for f in pravlon librscom.so Data.ini README.md copyright pravlon.desktop install-for-user.sh \
    icons/hicolor/scalable/apps/pravlon.svg icons/hicolor/48x48/apps/pravlon.png; do
    [ -e "$top/$f" ] || fail "$f missing"
done
cp "$sim" "$top/librscom.so"

home=$dir/home
mkdir -p "$home/.local/share"
before=$(cd "$home" && find . | sort)
HOME=$home XDG_DATA_HOME= "$top/install-for-user.sh" >/dev/null
entry=$home/.local/share/applications/pravlon.desktop
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
[ "$(cd "$top/icons" && find . -type f | sort)" = "$(cd "$home/.local/share/icons" && find . -type f | sort)" ] \
    || fail "the icons on the menu are not those of the folder"
# The Exec key read back as a desktop reads it: the file's escapes, the quotes, then %% as %
# and any other % with its letter as a field code, which the desktop replaces (%f, %u ...).
program=$(sed -n 's/^Exec=//p' "$entry" | sed -e 's/\\\\/\\/g' -e 's/^"\(.*\)"$/\1/' \
    -e 's/\\\(["`$\\]\)/\1/g' -e 's/%%/\x01/g' -e 's/%.//g' -e 's/\x01/%/g')
[ "$program" = "$top/pravlon" ] || fail "the menu entry starts '$program'"

log="$dir/lines.log"
status=0
PRAVLON_SIM_LOG="$log" QT_QPA_PLATFORM=offscreen timeout 3 "$program" 2>"$dir/stderr" || status=$?
# Still running when stopped (124) is the good end: the program started and waited for the user.
if [ "$status" -ne 124 ] || ! grep -q OPEN "$log"; then
    cat "$dir/stderr" >&2
    fail "the unpacked program did not start (status $status)"
fi

HOME=$home XDG_DATA_HOME= "$top/install-for-user.sh" --remove >/dev/null
after=$(cd "$home" && find . | sort)
[ "$before" = "$after" ] || fail "taken off the menu, it left: $(echo "$after" | grep -vxF "$before")"
echo "package: $(basename "$archive") unpacks, goes on the menu, starts and comes off the menu"
