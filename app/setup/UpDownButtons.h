#pragma once

#include <QWidget>

class QToolButton;

// A spinner without a value of its own: an up and a down arrow stacked beside the box it steps.
// It takes the focus in the tab order, where the Up and Down keys press its arrows; the box it
// belongs to decides what a step means.
class UpDownButtons : public QWidget {
    Q_OBJECT

public:
    explicit UpDownButtons(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

Q_SIGNALS:
    void up();
    void down();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
