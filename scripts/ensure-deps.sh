#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the demo and the package build need, when any
# is missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config clang-format ccache
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libxkbcommon-dev
    libboost-dev qt6-charts-dev libqt6opengl6-dev
    libsqlite3-dev sqlite3
    libmosquitto-dev mosquitto mosquitto-clients openssl qtkeychain-qt6-dev
    python3-paho-mqtt gnome-keyring libsecret-1-0
    xvfb xauth imagemagick fonts-dejavu-core
    util-linux procps binutils
    dbus libglib2.0-bin python3-gi
    dpkg-dev debhelper lintian desktop-file-utils appstream libgl-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
