#include "DisplayWindowGeometry.h"

#include "Twips.h"

#include <QWidget>

#include <algorithm>

QSize windowFrameExtent(const QWidget &window) {
    const QSize extent = window.frameGeometry().size() - window.geometry().size();
    return extent.expandedTo(QSize(0, 0));
}

StoredWindowRect windowRectInTwips(const QWidget &window) {
    const QRect outer = window.frameGeometry();
    return {toStoredTwips(Twips::fromPixelsY(outer.top(), &window)),
            toStoredTwips(Twips::fromPixelsX(outer.left(), &window)),
            toStoredTwips(Twips::fromPixelsY(outer.height(), &window)),
            toStoredTwips(Twips::fromPixelsX(outer.width(), &window))};
}

QRect storedRectInPixels(const QWidget &window, const StoredWindowRect &rect) {
    return QRect(Twips::toPixelsX(rect.left, &window), Twips::toPixelsY(rect.top, &window),
                 Twips::toPixelsX(rect.width, &window), Twips::toPixelsY(rect.height, &window));
}

void applyWindowRect(QWidget &window, const StoredWindowRect &rect) {
    const QSize frame = windowFrameExtent(window);
    const QRect outer = storedRectInPixels(window, rect);
    window.move(outer.topLeft());
    window.resize(std::max(outer.width() - frame.width(), 1),
                  std::max(outer.height() - frame.height(), 1));
}
