#!/bin/sh
# Starts the built program on a bare X server with the simulated line library in a program
# directory of its own, waits for its window, has a command from a terminal done by it, closes it
# as a window manager would, and checks that it ended with the shutdown transfer (sixteen 1 bits).
set -eu
program=$1 simlib=$2 data=$3 wmclose=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$program" "$dir/pravlon"
cp "$simlib" "$dir/librscom.so"
cp "$data" "$dir/Data.ini"
export PRAVLON_SIM_LOG="$dir/lines.log" PRAVLON_SIM_PORTS=1 XDG_RUNTIME_DIR="$dir/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
cd /   # the working directory is not the program's
xvfb-run -a -s "-screen 0 800x600x24" sh -c "
    '$dir/pravlon' & pid=\$!
    id=\$(timeout 20 xdotool search --sync --onlyvisible --name '^Pravlon, by VKT\$' | head -n 1)
    [ -n \"\$id\" ] || { echo 'no window'; kill \$pid; exit 1; }
    env -u DISPLAY '$dir/pravlon' show A && env -u DISPLAY '$dir/pravlon' status | grep -q 'vzor: 11101110' \\
        || { echo 'the window did not take the command'; kill \$pid; exit 1; }
    '$wmclose' \$id
    for i in \$(seq 100); do kill -0 \$pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 \$pid 2>/dev/null; then echo 'still running after the close'; kill \$pid; exit 1; fi
    wait \$pid
"
ones=$(grep -c ' TXD 1$' "$dir/lines.log" || true)
tail=$(grep ' TXD ' "$dir/lines.log" | tail -n 16 | grep -c ' TXD 1$' || true)
echo "line calls: $(wc -l < "$dir/lines.log"), last 16 bits lit: $tail"
[ "$tail" -eq 16 ] && [ "$ones" -ge 16 ]
