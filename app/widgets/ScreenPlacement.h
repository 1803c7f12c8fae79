#pragma once

#include <QList>
#include <QRect>

// Whether any part of a window at rect lies within one of the screens' areas. A remembered
// place wholly off every screen (a monitor since unplugged, a damaged setting) would open the
// window where nobody can see it or reach it.
bool liesOnAScreen(const QRect &window, const QList<QRect> &screenAreas);

// The available areas (without panels and docks) of the screens attached now.
QList<QRect> availableScreenAreas();
