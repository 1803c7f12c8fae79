#!/usr/bin/env bash
# Renders every window of the station offscreen to PNG for review: main window, grid and bar
# displays in the channel and probe views, help, the wizard's pages, the About box, the setup
# files' progress window and messages, the probe, analog and system setup dialogs (at 96 and 144
# dots per inch), and the amplifier calibration dialog.
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
