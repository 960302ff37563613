#!/bin/sh
# Adds this program folder to the desktop's menu for the current user: the icons go to
# ~/.local/share/icons, the menu entry to ~/.local/share/applications, pointing here.
# The folder stays where it is. Saving user characters needs Data.ini to be a regular file that
# this user can read and write; the folder itself need not be writable (the file is then
# rewritten in place instead of being replaced).
set -e
here=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
if [ ! -f "$here/Data.ini" ] || [ ! -r "$here/Data.ini" ] || [ ! -w "$here/Data.ini" ]; then
    echo "Warning: $here/Data.ini is not a file you can read and write;" \
        "user characters could not be saved." >&2
fi
mkdir -p "$data/applications" "$data/icons"
cp -R "$here/icons/hicolor" "$data/icons/"
sed -e "s|^Exec=.*|Exec=\"$here/pravlon\"|" -e "s|^Icon=.*|Icon=$here/icons/hicolor/scalable/apps/pravlon.svg|" \
    "$here/pravlon.desktop" > "$data/applications/pravlon.desktop"
command -v update-desktop-database >/dev/null && update-desktop-database "$data/applications" || true
echo "Pravlon is in the menu. To remove it: rm $data/applications/pravlon.desktop"
