#!/usr/bin/env bash
# The station's layers point one way: app/core (plain logic on QtCore) and app/publish (QtCore and
# QtDBus) include no widget, display, connection, station or SPC window header. The build already
# refuses most such includes (they do not see those folders nor QtWidgets); this also catches the
# <QtWidgets/...> spelling.
set -euo pipefail
app="$1"
widget_headers='Q(Widget|Dialog|MainWindow|Label|PushButton|MessageBox|FileDialog|Application|Screen|Painter|Icon)\b|<Qt(Widgets|Gui)/'
upper_headers=$(cd "$app" && ls displays connection station widgets spc | grep -E '\.h$' | sed 's/\.h$//' | paste -sd'|')
bad=$(grep -nE "#include[[:space:]]*[<\"]($widget_headers|($upper_headers)\.h\")" \
    "$app"/core/*.h "$app"/core/*.cpp "$app"/publish/*.h "$app"/publish/*.cpp || true)
if [ -n "$bad" ]; then
    echo "app/core or app/publish includes headers of the layers above it:"
    echo "$bad"
    exit 1
fi
echo "app/core and app/publish include nothing above them"
