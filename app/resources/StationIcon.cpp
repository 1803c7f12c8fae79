#include "StationIcon.h"

#include "ResourceInit.h"

#include <QCoreApplication>

namespace {

// Built at the first call and let go when the application ends, so no pixmap outlives it.
QIcon *g_icon = nullptr;

void dropIcon() {
    delete g_icon;
    g_icon = nullptr;
}

} // namespace

// Every window shares one icon. The window system takes an icon's pixmaps when a window is made,
// and they are cached under the icon's own key: a fresh icon for each window would leave a new
// set in the cache for every box a link error brings up, which a shift of errors turns into
// megabytes.
QIcon stationIcon() {
    if (!g_icon) {
        loadStationResources();
        g_icon = new QIcon;
        for (int size : {16, 32, 48, 256})
            g_icon->addFile(QStringLiteral(":/qorview/icons/qorview-%1.png").arg(size),
                            QSize(size, size));
        qAddPostRoutine(dropIcon);
    }
    return *g_icon;
}
