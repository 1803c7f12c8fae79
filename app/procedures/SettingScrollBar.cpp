#include "SettingScrollBar.h"

SettingScrollBar::SettingScrollBar(QWidget *parent) : QScrollBar(Qt::Vertical, parent) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QScrollBar::valueChanged, this,
            [this](int value) { Q_EMIT positionChanged(-value); });
}

void SettingScrollBar::setPositionRange(int minimum, int maximum) {
    setRange(-maximum, -minimum);
}
