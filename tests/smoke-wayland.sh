#!/bin/sh
# Starts the built program on a headless weston through Qt's Wayland platform, with the
# simulated line library in a program directory of its own, and waits until the compositor has
# put its window on an output with the window's fixed client size. Weston has no way to ask a
# window to close from outside, so the program is then ended with SIGTERM; the close request
# itself is covered on X (smoke.sh).
set -eu
weston=$1 program=$2 simlib=$3 data=$4
dir=$(mktemp -d)
wpid= pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    [ -z "$wpid" ] || kill "$wpid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
cp "$program" "$dir/pravlon"
cp "$simlib" "$dir/librscom.so"
cp "$data" "$dir/Data.ini"
mkdir -m 700 "$dir/run"
export XDG_RUNTIME_DIR="$dir/run" WAYLAND_DISPLAY=pravlon-smoke
unset DISPLAY
"$weston" --backend=headless-backend.so --socket=$WAYLAND_DISPLAY --idle-time=0 \
    --log="$dir/weston.log" &
wpid=$!
for i in $(seq 100); do [ -S "$dir/run/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$dir/run/$WAYLAND_DISPLAY" ] || { echo "weston did not start"; cat "$dir/weston.log"; exit 1; }

cd /
PRAVLON_SIM_LOG="$dir/lines.log" PRAVLON_SIM_PORTS=1 QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 \
    "$dir/pravlon" >"$dir/client.log" 2>&1 &
pid=$!
# In the client's protocol log: the surface whose toplevel carries the main window's title, its
# opaque region (the client area inside Qt's decoration), and the compositor's enter event
# for it, which comes once the window is on screen.
shown() {
    awk '
        /-> xdg_wm_base@[0-9]+\.get_xdg_surface\(/ {
            split($0, a, /xdg_surface@|, wl_surface@|\)/); surface[a[2]] = a[3]
        }
        /-> xdg_surface@[0-9]+\.get_toplevel\(/ {
            split($0, a, /xdg_surface@|\.get_toplevel|xdg_toplevel@|\)/); toplevel[a[4]] = a[2]
        }
        /-> xdg_toplevel@[0-9]+\.set_title\("Pravlon, by VKT"\)/ {
            split($0, a, /xdg_toplevel@|\.set_title/); main = surface[toplevel[a[2]]]
        }
        main != "" && index($0, "-> wl_surface@" main ".set_opaque_region(") { opaque = 1 }
        main != "" && /-> wl_region@[0-9]+\.add\(/ { region = $0 }
        main != "" && index($0, " wl_surface@" main ".enter(") && index($0, "->") == 0 {
            print region; found = 1; exit
        }
        END { exit !found }' "$dir/client.log"
}
for i in $(seq 200); do
    region=$(shown) && break
    kill -0 $pid 2>/dev/null || { echo "the program ended early"; tail -n 20 "$dir/client.log"; exit 1; }
    sleep 0.1
done
[ -n "${region:-}" ] || { echo "no window on the Wayland output"; exit 1; }
echo "window on screen; client area: ${region#*add}"
case $region in
*", 402, 298)") ;;
*) echo "the client area is not 402 x 298"; exit 1 ;;
esac
kill -TERM $pid
for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "still running after SIGTERM"; exit 1; fi
pid=
grep -q ' OPEN ' "$dir/lines.log" || { echo "the line library was not opened"; exit 1; }
if grep -E 'qt\.qpa|wl_display@1\.error|Could not' "$dir/client.log"; then
    echo "the Wayland platform reported the lines above"
    exit 1
fi
