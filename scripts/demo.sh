#!/usr/bin/env bash
# The main job: builds the station, starts the simulated QOR-128 on a pseudo-terminal and runs
# qorview against it at the unit's default 9600 baud, paced as a real line, in a settings folder
# of its own so a real Port setting is never touched.
# With no display, it runs under Xvfb for QORVIEW_DEMO_SECONDS (default 12) on a session bus of
# its own, shows a channel's live value as another program reads it over the bus, and saves a
# screenshot to build/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/ensure-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target qorview qorsim qorlink

work=$(mktemp -d /tmp/qorview-demo.XXXXXX)
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The simulator announces its port on its first line; wait for that line, not for a time.
mkfifo "$work/sim.out"
# The fixture takes a part every 8 s (6 s in, 2 s out) and the parts drift slowly, so Auto
# Record, the Log window and the SPC window have a run to show.
"$root/build/bin/qorsim" --preset demo --pace --cycle 6,2 --drift 0.0001 --link "$work/qor1" \
    >"$work/sim.out" 2>&1 &
sim_pid=$!
exec 3<"$work/sim.out"
read -r ready <&3
echo "$ready"
cat <&3 >/dev/null &

# The desktop's session bus stays reachable when the runtime folder changes below.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/bus" ]; then
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
fi
export XDG_CONFIG_HOME="$work/config"
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_CONFIG_HOME/QorView" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[QorSettings]\nPort=COM1\nBaudRate=9600\n' >"$XDG_CONFIG_HOME/QorView/QorView.ini"
export QORLINK_COM1="$work/qor1"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    "$root/build/bin/qorview" "$@"
else
    seconds=${QORVIEW_DEMO_SECONDS:-12}
    echo "No display: running the station under Xvfb for $seconds s."
    bus=()
    [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && bus=(dbus-run-session --)
    "${bus[@]}" xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
        "$1" "${@:5}" &
        app=$!
        sleep "$2"
        echo "Channel 1 as other programs read it (docs/live-values.md):"
        gdbus call --session --dest org.qorview.QorView --object-path /Display \
            --method org.qorview.Display1.Request "labelChan(1)" || true
        timeout -s INT 3 "$4" "labelChan(1)" || true
        import -window root "$3" || true
        kill -TERM "$app"
        wait "$app" || true
    ' _ "$root/build/bin/qorview" "$seconds" "$root/build/demo.png" \
        "$root/examples/follow_values.py" "$@"
    echo "Screenshot of the running station: $root/build/demo.png"
fi
