#!/bin/sh
# Builds the Debian package build/package/pravlon_<version>_<arch>.deb from a build directory
# in which the program, its line library and the icons are built (make deb does that).
# Usage: make-deb.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
maintainer="Pravlon maintainers <maintainers@users.noreply.c-seed-7fed49a3.example>"
work=$build/deb
root=$work/root
rm -rf "$work"
mkdir -p "$root/DEBIAN" "$build/package"
umask 022

DESTDIR=$root cmake --install "$build" --prefix /usr --strip >/dev/null
# The helper strips with plain `strip`; Debian also drops these sections.
for f in "$root/usr/lib/pravlon/pravlon" "$root/usr/lib/pravlon/librscom.so"; do
    strip --remove-section=.comment --remove-section=.note --strip-unneeded "$f"
done
doc=$root/usr/share/doc/pravlon
# The changelog's one entry is the AppStream file's release entry for this version.
released=$(sed -n "s/.*<release version=\"$version\" date=\"\([0-9-]*\)\".*/\1/p" \
    "$here/example.vkt.Pravlon.metainfo.xml")
[ -n "$released" ] || { echo "deb: the AppStream file has no release $version" >&2; exit 1; }
date=$(LC_ALL=C date -R -u -d "$released 12:00")
printf 'pravlon (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
    "$version" "$version" "$maintainer" "$date" | gzip -9n > "$doc/changelog.gz"
# The shipped Data.ini has no write bits on purpose (not even root's saves may land in it);
# lintian's warning about that is answered with the reason.
mkdir -p "$root/usr/share/lintian/overrides"
printf '%s\n%s\n' \
    "# Read-only on purpose: root's saves go to root's own copy, never into the shared file." \
    "pravlon: non-standard-file-perm 0444 != 0644 [usr/lib/pravlon/Data.ini]" \
    > "$root/usr/share/lintian/overrides/pravlon"
find "$root/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} + 2>/dev/null || true

# The dependencies: the libraries the two binaries link, worked out by dpkg-shlibdeps, and
# what Qt loads at run time: the platform plugins and its Czech texts. The layout's font is
# compiled in.
mkdir -p "$work/src/debian"
printf 'Source: pravlon\n\nPackage: pravlon\nArchitecture: any\n' > "$work/src/debian/control"
shlibs=$(cd "$work/src" && dpkg-shlibdeps -O -e"$root/usr/lib/pravlon/pravlon" \
    -e"$root/usr/lib/pravlon/librscom.so" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
depends="$shlibs, qt6-qpa-plugins, qt6-translations-l10n"

size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
cat > "$root/DEBIAN/control" <<CONTROL
Package: pravlon
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $size
Depends: $depends
Recommends: qt6-wayland
Section: electronics
Priority: optional
Homepage: https://www.vkt.example
Description: drive a home-built 8-segment LED display from a serial port
 Pravlon shows characters on a home-built 8-segment LED display: a 4094 shift
 register behind a MAX232 level converter, with a common-anode digit on its
 outputs. It uses two lines of the serial port, DTR as the clock and TxD as the
 data. Characters are chosen with buttons (0-9, A-Z and ten of your own), on a
 large digit whose segments are clicked on and off, by a random generator or by
 a text player. The interface is in Czech.
CONTROL
(cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) > "$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

deb=$build/package/pravlon_${version}_${arch}.deb
rm -f "$build"/package/pravlon_*.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "deb: $deb"
