#!/bin/sh
# Puts this program folder on the desktop's menu for the current user, or takes it off again.
#   install-for-user.sh           the menu entry goes to ~/.local/share/applications (starting
#                                 the program in this folder), the icons to
#                                 ~/.local/share/icons/hicolor
#   install-for-user.sh --remove  removes exactly those files again
# The folder stays where it is: after moving it, run the script again.
set -eu
here=$(cd "$(dirname "$0")" && pwd -P)
data=${XDG_DATA_HOME:-$HOME/.local/share}
entry=$data/applications/pravlon.desktop
icons="scalable/apps/pravlon.svg 16x16/apps/pravlon.png 24x24/apps/pravlon.png
32x32/apps/pravlon.png 48x48/apps/pravlon.png 64x64/apps/pravlon.png 128x128/apps/pravlon.png
256x256/apps/pravlon.png"

if [ "${1:-}" = --remove ]; then
    rm -f "$entry"
    for icon in $icons; do
        rm -f "$data/icons/hicolor/$icon"
        # The folders this script may have made, where nothing else is in them.
        rmdir "$data/icons/hicolor/${icon%/*}" "$data/icons/hicolor/${icon%%/*}" 2>/dev/null || true
    done
    rmdir "$data/icons/hicolor" "$data/icons" "$data/applications" 2>/dev/null || true
    echo "Pravlon is no longer in the menu."
    exit 0
fi

case $here in
*"
"*) echo "The folder's path holds a line break, which a menu entry cannot name." >&2; exit 1 ;;
esac
for icon in $icons; do
    mkdir -p "$data/icons/hicolor/${icon%/*}"
    cp "$here/icons/hicolor/$icon" "$data/icons/hicolor/$icon"
done
touch "$data/icons/hicolor" # tells icon caches to look again
# The Exec key quotes the path: inside the quotes ", `, $ and \ take a backslash, the file's
# own escaping then doubles every backslash, and % is written %%.
program=$(printf '%s/pravlon\n' "$here" | sed -e 's/\\/\\\\\\\\/g' -e 's/["`$]/\\\\&/g' \
    -e 's/%/%%/g')
mkdir -p "$data/applications"
EXEC="Exec=\"$program\"" awk '/^Exec=/ { print ENVIRON["EXEC"]; next } { print }' \
    "$here/pravlon.desktop" > "$entry.new"
mv "$entry.new" "$entry"
printf 'Pravlon is in the menu. To take it off: "%s/install-for-user.sh" --remove\n' "$here"
