#!/usr/bin/env bash
# Builds the Debian packages from a clean copy of the sources (nothing of the test builds is
# reused), checks them with lintian, desktop-file-validate and appstreamcli, unpacks them into a
# temporary root without installing them, and runs what they hold there: qorview --version,
# qorsim --help, the export check on the library, a small C client built with the packaged
# pkg-config file, a CMake client built with the packaged CMake package, and the packaged station
# against the packaged simulator.
# Usage: scripts/package-check.sh [folder]   (the .deb files are kept in folder when given)
set -euo pipefail
cd "$(dirname "$0")/.."
keep=${1:-}

bash scripts/ensure-deps.sh

work=$(mktemp -d /tmp/qorview-packages.XXXXXX)
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
started=$SECONDS
step() { printf '\n== %s (%ds)\n' "$1" $((SECONDS - started)); }

step "Copying the sources"
version=$(dpkg-parsechangelog -l debian/changelog -S Version)
src="$work/qorview-$version"
mkdir -p "$src"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # Tracked and new files, as the working tree has them (a deleted one is skipped); never build
    # output.
    git ls-files -z -co --exclude-standard |
        tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$src"
else
    tar --exclude='./build*' --exclude='./obj-*' --exclude=./.git -cf - . | tar -xf - -C "$src"
fi

step "Building the packages"
(cd "$src" && DEB_BUILD_OPTIONS="nocheck parallel=2 noddebs" \
    dpkg-buildpackage -b -us -uc >"$work/build.log" 2>&1) || {
    tail -n 60 "$work/build.log"
    exit 1
}
changes=$(ls "$work"/qorview_"$version"_*.changes)
debs=("$work"/*.deb)
printf '%s\n' "${debs[@]##*/}"

step "lintian"
lintian --fail-on error --display-info "$changes" | tee "$work/lintian.txt"
echo "lintian: $(grep -c '^E:' "$work/lintian.txt" || true) errors, $(grep -c '^W:' "$work/lintian.txt" || true) warnings, $(grep -c '^I:' "$work/lintian.txt" || true) notes"

step "Unpacking into a temporary root"
root="$work/root"
for deb in "${debs[@]}"; do
    dpkg -x "$deb" "$root"
done
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir="$root/usr/lib/$multiarch"

step "Desktop entry and AppStream metainfo"
desktop-file-validate "$root/usr/share/applications/org.qorview.QorView.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.qorview.QorView.metainfo.xml"
for file in usr/share/icons/hicolor/scalable/apps/org.qorview.QorView.svg \
    usr/share/icons/hicolor/48x48/apps/org.qorview.QorView.png \
    usr/lib/udev/rules.d/60-qorview.rules usr/share/qorview/qorview.hlp \
    usr/share/man/man1/qorview.1.gz usr/share/man/man1/qorsim.1.gz \
    usr/share/man/man3/libqorlink.3.gz; do
    [ -s "$root/$file" ] || { echo "missing from the packages: /$file"; exit 1; }
done

step "The programs"
# No display: --version is answered before anything graphical starts.
env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/qorview" --version | tee "$work/version.txt"
grep -qx "qorview [0-9.]*" "$work/version.txt"
"$root/usr/bin/qorsim" --help >"$work/qorsim-help.txt"
grep -Fx "Stand-in USB library of this qorsim: $libdir/qorsim/libftd2xx.so" "$work/qorsim-help.txt"

step "The library"
readelf -d "$libdir/libqorlink.so.6" | grep -F 'Library soname: [libqorlink.so.6]'
bash tests/link/check_exports.sh "$libdir/libqorlink.so.6" "$root/usr/include/qorlink.h" \
    debian/libqorlink6.symbols

step "A C client through the packaged pkg-config file"
mkdir -p "$work/client"
cat >"$work/client/client.c" <<'CLIENT'
#include <qorlink.h>
#include <stdio.h>

/* Calls that need no unit: a record the library refuses, and a handle that was never opened. */
int main(void) {
    QorInfo *info = QorInitInfoStructure(1, 9600, 2, NULL);
    if (QorOpen(info) != NULL || info->error != 0)
        return 1;
    if (QorDecodeError(NULL, NULL, NULL) != QOR_ERR_INVALID_HANDLE)
        return 2;
    puts("qorlink client ran");
    return 0;
}
CLIENT
export PKG_CONFIG_SYSROOT_DIR="$root" PKG_CONFIG_LIBDIR="$libdir/pkgconfig"
export PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1
flags=$(pkg-config --cflags --libs qorlink)
echo "pkg-config --cflags --libs qorlink: $flags"
unset PKG_CONFIG_SYSROOT_DIR PKG_CONFIG_LIBDIR PKG_CONFIG_ALLOW_SYSTEM_CFLAGS PKG_CONFIG_ALLOW_SYSTEM_LIBS
# shellcheck disable=SC2086
cc -Wall -Werror -o "$work/client/client" "$work/client/client.c" $flags
LD_LIBRARY_PATH="$libdir" ldd "$work/client/client" | grep -F "$libdir/libqorlink.so.6"
LD_LIBRARY_PATH="$libdir" "$work/client/client"

step "A CMake client through the packaged CMake package"
cat >"$work/client/CMakeLists.txt" <<'CLIENT'
cmake_minimum_required(VERSION 3.25)
project(qorlink_client C)
find_package(qorlink 6 REQUIRED)
add_executable(client client.c)
target_link_libraries(client PRIVATE qorlink::qorlink)
CLIENT
cmake -S "$work/client" -B "$work/client/build" -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
cmake --build "$work/client/build" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/client/build/client"

step "The packaged station against the packaged simulator"
# The station finds the library by its SONAME on the loader's path and its help document under
# ../share; it is ready once it publishes its live values on the session bus.
run="$work/run"
mkdir -p "$run/config/QorView" "$run/runtime"
chmod 700 "$run/runtime"
printf '[QorSettings]\nPort=COM1\nBaudRate=9600\n' >"$run/config/QorView/QorView.ini"
mkfifo "$run/sim.out"
"$root/usr/bin/qorsim" --preset demo --link "$run/qor1" >"$run/sim.out" 2>&1 &
sim_pid=$!
exec 3<"$run/sim.out"
read -r ready <&3
echo "$ready"
cat <&3 >/dev/null &
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$run/config" XDG_RUNTIME_DIR="$run/runtime" \
    QORLINK_COM1="$run/qor1" LD_LIBRARY_PATH="$libdir" \
    dbus-run-session -- bash -c '
        "$1" &
        station=$!
        gdbus wait --session --timeout 60 org.qorview.QorView
        items=$(gdbus call --session --dest org.qorview.QorView --object-path /Display \
            --method org.qorview.Display1.Items)
        echo "items the packaged station publishes: $items"
        kill -TERM "$station"
        wait "$station"
        [[ $items == *"labelChan(8)"* ]]
    ' _ "$root/usr/bin/qorview"
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
sim_pid=""

if [ -n "$keep" ]; then
    mkdir -p "$keep"
    cp "${debs[@]}" "$changes" "$keep/"
    echo "Packages kept in $keep"
fi
step "Packages built and checked"
