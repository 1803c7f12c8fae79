#pragma once

#include <QWidget>

class QToolButton;

// A spinner with arrows only, beside the box that shows the number: up asks for the next item,
// down for the previous one. What "next" means (wrap around or stop) is the dialog's.
class UpDownArrows : public QWidget {
    Q_OBJECT

public:
    explicit UpDownArrows(QWidget *parent = nullptr);

    // The two arrows share `height` (that of the box beside them).
    void fitHeight(int height);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

Q_SIGNALS:
    void up();
    void down();

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
