#!/bin/sh
# Unpacks the archive into a fresh directory and starts the program from there. The shipped
# line library is swapped for the simulated one first: no serial device is ever opened here.
# Usage: check-package.sh ARCHIVE SIMULATED_LIBRARY
set -e
archive=$1
sim=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
tar -xzf "$archive" -C "$dir"
top=$(find "$dir" -mindepth 1 -maxdepth 1 -type d)
for f in pravlon librscom.so Data.ini README.md pravlon.desktop install-for-user.sh \
    icons/hicolor/scalable/apps/pravlon.svg icons/hicolor/48x48/apps/pravlon.png; do
    [ -e "$top/$f" ] || { echo "package: $f missing" >&2; exit 1; }
done
cp "$sim" "$top/librscom.so"
log="$dir/lines.log"
status=0
PRAVLON_SIM_LOG="$log" QT_QPA_PLATFORM=offscreen timeout 3 "$top/pravlon" 2>"$dir/stderr" || status=$?
# Still running when stopped (124) is the good end: the program started and waited for the user.
if [ "$status" -ne 124 ] || ! grep -q OPEN "$log"; then
    echo "package: the unpacked program did not start (status $status)" >&2
    cat "$dir/stderr" >&2
    exit 1
fi
echo "package: $(basename "$archive") unpacks and starts"
