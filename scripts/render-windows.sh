#!/usr/bin/env bash
# Renders every window of the station offscreen to PNG for review: main window, grid and bar
# displays in the channel and probe views, help, the wizard's pages, the About box, the setup
# files' progress window and messages, the amplifier calibration dialog, and at 96 and at 144 DPI
# the channel, probe, analog and system setup dialogs, the group editor and selection, and the
# mastering dialogs.
# Usage: scripts/render-windows.sh [folder]   (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath -m "${1:-docs/screenshots}")

bash scripts/ensure-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target render_station_windows render_connection_windows \
    render_display_windows render_setup_windows render_procedure_windows qorview_help
mkdir -p "$folder"
export QT_QPA_PLATFORM=offscreen
build/bin/render_station_windows "$folder"
build/bin/render_connection_windows "$folder"
build/bin/render_display_windows "$folder/displays"
build/bin/render_setup_windows "$folder/setup"
QT_SCALE_FACTOR=1.5 build/bin/render_setup_windows "$folder/setup" dialogs
build/bin/render_procedure_windows "$folder"
# The group editor and the group selection at the usual and at a high font resolution.
cmake --build build -j"$(nproc)" --target render_group_windows
for dpi in 96 144; do
    QT_FONT_DPI=$dpi build/bin/render_group_windows "$folder"
done
QT_FONT_DPI=144 QT_ENABLE_HIGHDPI_SCALING=0 build/bin/render_procedure_windows "$folder" 144dpi
