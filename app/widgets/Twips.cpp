#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

constexpr double TwipsPerInch = 1440.0;
// Used only when no screen exists at all.
constexpr double FallbackDpi = 96.0;

const QScreen *screenOf(const QWidget *widget) {
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double dpiX(const QWidget *widget) {
    const QScreen *screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchX() : FallbackDpi;
}

double dpiY(const QWidget *widget) {
    const QScreen *screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchY() : FallbackDpi;
}

} // namespace

namespace Twips {

int toPixelsX(double twips, const QWidget *widget) {
    return static_cast<int>(std::lround(twips * dpiX(widget) / TwipsPerInch));
}

int toPixelsY(double twips, const QWidget *widget) {
    return static_cast<int>(std::lround(twips * dpiY(widget) / TwipsPerInch));
}

double fromPixelsX(int pixels, const QWidget *widget) {
    return pixels * TwipsPerInch / dpiX(widget);
}

double fromPixelsY(int pixels, const QWidget *widget) {
    return pixels * TwipsPerInch / dpiY(widget);
}

} // namespace Twips
