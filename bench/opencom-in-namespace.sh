#!/bin/sh
# Runs bench_opencom in a private mount namespace after covering every serial device and the
# console with /dev/null, so that the real line library cannot reach a device whatever it does.
# Prints a skipped row instead when that cannot be made sure.
# Usage: unshare -m --propagation private sh opencom-in-namespace.sh BENCH_OPENCOM [MODULE]
row="| one OPENCOM of the real line library |"
if [ "$(readlink /proc/self/ns/mnt)" = "$(readlink /proc/1/ns/mnt)" ]; then
    echo "$row not run: not in a private mount namespace | skipped |"
    exit 0
fi
mount --make-rprivate / 2>/dev/null
# Every on-board UART, USB and ACM port (and ttyAMA for good measure), and the console.
for f in /dev/tty[SUA]* /dev/console; do
    [ -e "$f" ] || continue
    if ! mount --bind /dev/null "$f" || [ "$(stat -L -c %t:%T "$f")" != "1:3" ]; then
        echo "$row not run: $f could not be covered | skipped |"
        exit 0
    fi
done
exec "$@"
