#!/usr/bin/env bash
# Runs the given test program on the private session bus this script was started on
# (dbus-run-session) with a secret service of its own: gnome-keyring with a fresh login keyring
# in a temporary home, unlocked with a throwaway password. Exit 77 (skipped) without the daemon.
set -euo pipefail
test_program="$1"
if ! command -v gnome-keyring-daemon >/dev/null; then
    echo "gnome-keyring-daemon is not installed: no secret service to test against"
    exit 77
fi
home=$(mktemp -d)
trap 'kill "${keyring_pid:-}" 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
export XDG_RUNTIME_DIR="$home/runtime"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# --foreground keeps the daemon a child of this script, so it is stopped by its id below.
printf 'throwaway' | gnome-keyring-daemon --foreground --unlock --components=secrets &
keyring_pid=$!
for _ in $(seq 100); do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
        grep -q 'boolean true'; then
        break
    fi
    sleep 0.1
done
"$test_program"
