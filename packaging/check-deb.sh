#!/bin/sh
# Checks the Debian package that make-deb.sh built:
# - lintian finds no error (its warnings are listed);
# - it holds the program files, the link, the desktop entry, icons, AppStream file, copyright
#   and changelog (and the man page where there is one), and nothing elsewhere; the desktop
#   entry and the AppStream file pass their validators;
# - the packaged program, unpacked beside the simulated line library, starts on Xvfb and ends
#   on the close request (tests/smoke.sh);
# - as root, where pravlon is not installed yet: apt-get installs it; a user of its own, with a
#   HOME of its own, starts `pravlon` on Xvfb and saves a user character, which must land in
#   ~/.local/share/pravlon/Data.ini while the package's files stay as shipped; apt-get purges
#   it, and /usr, /etc and /opt must be as before. The installed program runs in a mount
#   namespace in which the simulated line library lies over the real one and /dev/null over
#   every serial device and the console: no real port is ever opened.
# Usage: check-deb.sh DEB BUILD_DIR
set -eu
deb=$(realpath "$1")
build=$(cd "$2" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
sim=$build/tests/sim/librscom.so
wmclose=$build/tests/wmclose
dir=$(mktemp -d)
installed=
cleanup() {
    [ -z "$installed" ] || apt-get purge -y pravlon >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap cleanup EXIT
fail() {
    echo "deb: $*" >&2
    exit 1
}

lintian --fail-on error "$deb" >"$dir/lintian" \
    2>&1 || { cat "$dir/lintian" >&2; fail "lintian found errors"; }
echo "deb: lintian: $(grep -c '^W:' "$dir/lintian" || true) warnings"
grep -v 'running with root privileges' "$dir/lintian" | sed 's/^/    /' || true

x=$dir/x
dpkg-deb -x "$deb" "$x"
for f in usr/lib/pravlon/pravlon usr/lib/pravlon/librscom.so usr/lib/pravlon/Data.ini \
    usr/share/applications/pravlon.desktop usr/share/metainfo/example.vkt.Pravlon.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/pravlon.svg usr/share/icons/hicolor/48x48/apps/pravlon.png \
    usr/share/doc/pravlon/copyright usr/share/doc/pravlon/changelog.gz; do
    [ -f "$x/$f" ] || fail "$f missing"
done
[ "$(readlink "$x/usr/bin/pravlon")" = ../lib/pravlon/pravlon ] || fail "usr/bin/pravlon is no link"
# Root's saves must not land in the shipped file (other users would see them, and an upgrade
# would drop them): it carries no write bit, which the program honours even as root.
mode=$(dpkg-deb -c "$deb" | awk '$NF == "./usr/lib/pravlon/Data.ini" { print $1 }')
[ "$mode" = -r--r--r-- ] || fail "usr/lib/pravlon/Data.ini is $mode, not -r--r--r--"
stray=$(cd "$x" && find . ! -type d | grep -vE '^\./usr/(bin/pravlon|lib/pravlon/|share/(applications|metainfo|icons/hicolor|doc/pravlon|man/man1|lintian/overrides)/)' || true)
[ -z "$stray" ] || fail "files where they do not belong: $stray"
if [ -f "$src/packaging/pravlon.1" ]; then
    page=$x/usr/share/man/man1/pravlon.1.gz
    [ -f "$page" ] || fail "the man page is missing"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the man page: $warnings"
fi
desktop-file-validate "$x/usr/share/applications/pravlon.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$x/usr/share/metainfo/example.vkt.Pravlon.metainfo.xml" \
    >"$dir/appstream" 2>&1 || { cat "$dir/appstream" >&2; fail "AppStream file"; }
echo "deb: desktop-file-validate clean; appstreamcli: $(tail -n 1 "$dir/appstream")"

sh "$src/tests/smoke.sh" "$x/usr/lib/pravlon/pravlon" "$sim" "$x/usr/lib/pravlon/Data.ini" \
    "$wmclose" || fail "the unpacked program did not start and close on Xvfb"

if [ "$(id -u)" -ne 0 ]; then
    echo "deb: not root: the install, user and removal check is left out"
    exit 0
fi
if dpkg-query -W -f='${Status}' pravlon 2>/dev/null | grep -q "ok installed"; then
    echo "deb: pravlon is installed on this machine: the install check is left out"
    exit 0
fi
export DEBIAN_FRONTEND=noninteractive
# Dependencies first: they stay, and are not what the comparison is about.
apt-get satisfy -y --no-install-recommends "$(dpkg-deb -f "$deb" Depends)" >"$dir/apt" 2>&1 \
    || { cat "$dir/apt" >&2; fail "its dependencies cannot be installed"; }
snapshot() { find /usr /etc /opt -xdev 2>/dev/null | LC_ALL=C sort; }
snapshot >"$dir/before"
installed=1
apt-get install -y --no-install-recommends "$deb" >"$dir/apt" 2>&1 \
    || { cat "$dir/apt" >&2; fail "apt-get install failed"; }
[ "$(readlink -f "$(command -v pravlon)")" = /usr/lib/pravlon/pravlon ] || fail "pravlon is not on PATH"

# The user's session: the main window, its second page, "Uložit znak", a name, slot 1. Places
# are in pixels of the window (the layout's twips / 15; page contents lie at the tab
# control's corner, 960, 120 twips).
chmod 711 "$dir"
home=$dir/home
mkdir "$home" "$dir/bin"
cp "$wmclose" "$dir/bin/wmclose"
chown nobody:nogroup "$home"
cat >"$dir/session.sh" <<'SESSION'
pravlon & pid=$!
id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Pravlon, by VKT$' | head -n 1)
[ -n "$id" ] || { echo "no window"; kill $pid; exit 1; }
xdotool mousemove --window "$id" 200 18 click 1            # the tab "Jednotlivé seg."
sleep 0.5
xdotool mousemove --window "$id" 328 68 click 1            # "Uložit znak" (4200, 840 twips)
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Uložit znak$' | head -n 1)
[ -n "$dialog" ] || { echo "no save dialog"; kill $pid; exit 1; }
xdotool mousemove --window "$dialog" 172 82 click 1 key ctrl+a type Deb   # the name
xdotool mousemove --window "$dialog" 24 186 click 1        # slot 1
sleep 0.5
wmclose "$dialog"
sleep 0.2
wmclose "$id"
for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "still running after the close"; kill $pid; exit 1; fi
SESSION
if unshare -m --propagation private true 2>/dev/null; then
    unshare -m --propagation private sh -c '
        mount --bind "$1" /usr/lib/pravlon/librscom.so
        for d in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* /dev/ttyAMA* /dev/console; do
            [ -e "$d" ] && mount --bind /dev/null "$d"
        done
        exec setpriv --reuid=nobody --regid=nogroup --clear-groups env -i HOME="$2" \
            PATH="$3:/usr/bin:/bin" LANG=C.UTF-8 PRAVLON_SIM_LOG="$2/lines.log" \
            PRAVLON_SIM_PORTS=1 sh -c "cd \"\$HOME\" && xvfb-run -a -s \"-screen 0 800x600x24\" sh \"\$0\"" "$4"
    ' sh "$sim" "$home" "$dir/bin" "$dir/session.sh" || fail "the installed program, run by a user, failed"
    grep -q ' OPEN ' "$home/lines.log" || fail "the installed program did not open the line"
    if tr -d '\r' <"$home/.local/share/pravlon/Data.ini" 2>/dev/null | grep -qx 'B1Text=Deb'; then
        echo "deb: installed; a user's saved character landed in ~/.local/share/pravlon/Data.ini"
    else
        save_failed=1
        echo "deb: FAILED: the user's saved character is not in ~/.local/share/pravlon/Data.ini" >&2
    fi
else
    # A chroot whose root is no mount point, for instance.
    echo "deb: no private mount namespace here: the installed program is not started" >&2
fi
dpkg --verify pravlon || fail "the package's files changed"

apt-get purge -y pravlon >"$dir/apt" 2>&1 || { cat "$dir/apt" >&2; fail "apt-get purge failed"; }
installed=
snapshot >"$dir/after"
if ! cmp -s "$dir/before" "$dir/after"; then
    diff "$dir/before" "$dir/after" >&2 || true
    fail "removed, it left the changes above"
fi
echo "deb: purged; /usr, /etc and /opt are as before"
[ -z "${save_failed:-}" ] || exit 1
