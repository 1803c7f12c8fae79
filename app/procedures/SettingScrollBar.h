#pragma once

#include <QScrollBar>

// A vertical scroll bar for an amplifier setting, with the largest setting at the top. The bar
// keeps the negated setting as its value, so its arrows, keys, wheel and handle all move the
// natural way (the top arrow and the Up key raise the setting) without inverting the widget.
class SettingScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit SettingScrollBar(QWidget *parent = nullptr);

    void setPositionRange(int minimum, int maximum);
    int position() const { return -value(); }
    void setPosition(int position) { setValue(-position); }

Q_SIGNALS:
    void positionChanged(int position);
};
