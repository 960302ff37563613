#!/bin/sh
# `pravlon ports` and `pravlon port` without a window, with the real line library, as a user
# without rights sees them: a port denied by its group, one whose device node is missing, one
# that another program holds, and two that nothing stands in the way of, untested until
# opened; none of them is called usable without an open, by `ports` or `status`. The
# adapter's product string carries an escape sequence and a bell, which must not reach the
# terminal.
# Runs in a private mount namespace with a tmpfs over /dev (so every real serial device and the
# console are out of reach) and a made-up tree over /sys/class/tty. Skipped (77) without root.
# Usage: ports-in-namespace.sh PROGRAM MODULE DATA_INI
set -eu
if [ "$(id -u)" -ne 0 ] || ! unshare -m --propagation private true 2>/dev/null; then
    echo "ports-in-namespace: needs root and a private mount namespace: skipped"
    exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
cp "$1" "$dir/pravlon"
cp "$2" "$dir/librscom.so"
cp "$3" "$dir/Data.ini"
sys=$dir/sys
for n in 0 1 2 3 4; do mkdir -p "$sys/ttyUSB$n"; done
mkdir -p "$sys/console" "$dir/devices/ttyUSB3/if/port"
echo tty0 >"$sys/console/active"
ln -s "$dir/devices/ttyUSB3/if/port" "$sys/ttyUSB3/device"
ln -s /drivers/ftdi_sio "$dir/devices/ttyUSB3/if/port/driver"
printf 'FT232R \033]0;pwned\007all ports OK\n' >"$dir/devices/ttyUSB3/product"

unshare -m --propagation private sh -eu -c '
    dir=$1
    mount --make-rprivate /
    mount -t tmpfs -o mode=755 pravlon-dev /dev
    mknod -m 666 /dev/null c 1 3
    mknod -m 666 /dev/urandom c 1 9
    mount --bind "$dir/sys" /sys/class/tty
    : >/dev/ttyUSB0 && chmod 660 /dev/ttyUSB0            # denied: the group root only
    : >/dev/ttyUSB2 && chmod 666 /dev/ttyUSB2            # held by another program
    : >/dev/ttyUSB3 && : >/dev/ttyUSB4 && chmod 666 /dev/ttyUSB[34] # nothing in the way
    as() { setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin \
        LANG=C.UTF-8 "$@"; }
    setpriv --reuid=nobody --regid=nogroup --clear-groups sh -c "exec sleep 60 3<>/dev/ttyUSB2" \
        </dev/null >/dev/null 2>&1 &
    holder=$!
    sleep 0.3
    code=0
    as "$dir/pravlon" ports >"$dir/out" 2>"$dir/err" || code=$?
    kill $holder
    cat "$dir/out"
    fail() { echo "ports-in-namespace: $*" >&2; exit 1; }
    [ $code -eq 0 ] || fail "ports ended with $code: $(cat "$dir/err")"
    expect() {
        grep -q "^$1	$2	.*$3" "$dir/out" || fail "$1 should say: $3"
    }
    expect COM1 /dev/ttyUSB0 "patří skupině root"
    expect COM2 /dev/ttyUSB1 "V systému takový port není"
    expect COM3 /dev/ttyUSB2 "Port drží jiný program (sleep)"
    expect COM4 /dev/ttyUSB3 "Port zatím nebyl vyzkoušen"
    ! grep -q "lze" "$dir/out" || fail "a port never opened is called usable"
    ! grep -q "$(printf "[\033\007]")" "$dir/out" || fail "the product string reached the terminal raw"
    grep -q "FT232R .*]0;pwned.*all ports OK" "$dir/out" || fail "the product string is lost"
    # port COMn opens the port it names: the system refuses a device of another group, and the
    # group to join is named in the exact command; a plain file is no serial port.
    code=0
    as "$dir/pravlon" port COM1 >/dev/null 2>"$dir/err" || code=$?
    [ $code -eq 3 ] && grep -q "group root: join it (sudo usermod -aG root \$USER)" "$dir/err" ||
        fail "port COM1 ended with $code: $(cat "$dir/err")"
    code=0
    as "$dir/pravlon" port COM4 >/dev/null 2>"$dir/err" || code=$?
    [ $code -eq 3 ] || fail "port COM4 ended with $code: $(cat "$dir/err")"
    as "$dir/pravlon" status | grep -q "^port: neznámý	unknown	untested$" ||
        fail "status calls a port never opened known"
    # ports --probe opens each port, as the window does at start-up, and says so.
    as "$dir/pravlon" ports --probe >"$dir/out" 2>"$dir/err" || fail "ports --probe failed"
    [ "$(grep -c "^COM[45]	.*Port nelze otevřít" "$dir/out")" -eq 2 ] ||
        fail "ports --probe did not open COM4 and COM5"
    grep -q "byl otevřen" "$dir/err" || fail "ports --probe does not say that it opened the ports"
' sh "$dir"
echo "ports-in-namespace: passed"
