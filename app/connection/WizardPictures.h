#pragma once

#include <QPixmap>
#include <QSize>

// The picture beside each page of the connection wizard: a tall panel with a line drawing of
// what the page is about (the unit and the computer, the serial connector, a checklist, a tick).
QPixmap wizardPicture(int page, QSize size, qreal devicePixelRatio = 1.0);
