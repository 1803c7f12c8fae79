#!/bin/bash
# Two stations, each over a simulated unit of its own, publishing to one mosquitto on the
# loopback while mosquitto_sub shows what a subscriber gets. Nothing outside a private folder is
# touched: the broker listens on a free loopback port, each station has its own settings folder
# and measurement log.
#
#   examples/plant-demo.sh BUILD_DIR [PARTS]
#
# BUILD_DIR holds the built qorsim and plantlink_demo_station (tests/app/plantlink) in bin/.
set -euo pipefail

build=$(realpath "${1:?usage: $0 BUILD_DIR [PARTS]}")
parts=${2:-3}
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $2 seconds for the command $1 to succeed.
wait_until() {
    for _ in $(seq $(($2 * 10))); do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    echo "gave up waiting for: $1" >&2
    return 1
}

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/mosquitto.conf" <<CONF
listener $port 127.0.0.1
allow_anonymous true
persistence false
CONF
mosquitto -c "$work/mosquitto.conf" 2>"$work/broker.log" &
pids+=($!)
wait_until "mosquitto_pub -h 127.0.0.1 -p $port -t demo/ready -n 2>/dev/null" 10

mosquitto_sub -h 127.0.0.1 -p "$port" -v -t 'qorview/#' >"$work/subscriber.txt" &
pids+=($!)

stations=()
com=1
for station in line-3 line-4; do
    "$build/bin/qorsim" --preset demo --seed "$com" --spread 0.004 >"$work/$station.sim" &
    pids+=($!)
    wait_until "grep -qs 'unit on' '$work/$station.sim'" 10
    device=$(sed -n 's/^qorsim: unit on //p' "$work/$station.sim")
    mkdir -p "$work/$station/QorView"
    cat >"$work/$station/QorView/QorView.ini" <<INI
[PlantLink]
Enabled=1
Host=127.0.0.1
Port=$port
Station=$station
INI
    env "QORLINK_COM$com=$device" XDG_CONFIG_HOME="$work/$station" \
        DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent \
        "$build/bin/plantlink_demo_station" "$com" "$work/$station/parts.sqlite" \
        "$parts" 400 | sed "s/^/$station: /" &
    stations+=($!)
    com=$((com + 1))
done
for pid in "${stations[@]}"; do wait "$pid"; done

# Both ended: each said "offline" as it went. The subscriber has it all once both say so.
wait_until "[ \$(grep -c 'status {\"state\":\"offline\"}' '$work/subscriber.txt') -eq 2 ]" 10
echo "--- mosquitto_sub -v -t 'qorview/#'"
cat "$work/subscriber.txt"
