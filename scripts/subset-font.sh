#!/bin/sh
# Writes the two faces under resources/fonts/ from Debian's DejaVu Sans Condensed
# (fonts-dejavu-extra), cut down to the characters the program can draw from its own texts and
# from Data.ini: the Windows-1250 repertoire. Everything else typed into the text box is drawn by
# the system's fonts. Run after changing the faces; the build only compiles the result in.
#
#   scripts/subset-font.sh [DIRECTORY WITH THE FULL FACES]   (needs fonttools: pyftsubset)
#
# The kept characters are drawn pixel for pixel as the full face draws them: every table, hint
# and layout feature stays. The Latin ligatures (U+FB00-FB06) keep their place in the character
# map, as in the full face: the hinter sorts glyphs by the characters that reach them, and a
# "fi" reached only through the layout tables would be hinted differently.
set -eu
from=${1:-/usr/share/fonts/truetype/dejavu}
to=$(dirname "$0")/../resources/fonts
# The code page's printable characters as Unicode (the unassigned bytes decode to nothing).
unicodes=$(python3 -c '
chars = {bytes([b]).decode("cp1250", "ignore") for b in range(0x20, 0x100)}
print(",".join("U+%04X" % ord(c) for c in sorted(chars) if c))'),U+FB00-FB06
for face in DejaVuSansCondensed DejaVuSansCondensed-Bold; do
    pyftsubset "$from/$face.ttf" --output-file="$to/$face.ttf" --unicodes="$unicodes" \
        --layout-features='*' --name-IDs='*' --name-languages='*' --name-legacy --legacy-kern \
        --notdef-outline --glyph-names --hinting-tables='*' --drop-tables= \
        --no-prune-unicode-ranges --no-recalc-timestamp
done
