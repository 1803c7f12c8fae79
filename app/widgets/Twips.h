#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Window positions and sizes are remembered in twips (1440 to the inch) and converted through
// the screen's logical DPI, so a stored layout means the same physical size on any screen.
namespace Twips {
int toPixelsX(double twips, const QWidget *widget = nullptr);
int toPixelsY(double twips, const QWidget *widget = nullptr);
double fromPixelsX(int pixels, const QWidget *widget = nullptr);
double fromPixelsY(int pixels, const QWidget *widget = nullptr);
} // namespace Twips
