#include "ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

bool liesOnAScreen(const QRect &window, const QList<QRect> &screenAreas) {
    // QRect counts a rectangle without size as lying where its corner is; a window has none.
    if (window.isEmpty())
        return false;
    return std::any_of(screenAreas.begin(), screenAreas.end(),
                       [&window](const QRect &area) { return area.intersects(window); });
}

QList<QRect> availableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}
