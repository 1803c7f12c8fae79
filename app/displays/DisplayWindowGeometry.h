#pragma once

#include "DisplayWindowLayout.h"

#include <QRect>
#include <QSize>

class QWidget;

// A display window's outer rectangle (caption and borders included, as remembered layouts are)
// in twips, and back. Before the window manager has framed the window its frame counts as
// nothing.
StoredWindowRect windowRectInTwips(const QWidget &window);
void applyWindowRect(QWidget &window, const StoredWindowRect &rect);
// The outer rectangle a stored one stands for on window's screen, in pixels.
QRect storedRectInPixels(const QWidget &window, const StoredWindowRect &rect);

// The window manager's caption and borders around the client area (empty when unknown).
QSize windowFrameExtent(const QWidget &window);
