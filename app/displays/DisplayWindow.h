#pragma once

#include "DisplayedState.h"
#include "WindowLayout.h"

#include <QWidget>

class QCloseEvent;
class QEvent;

// What the grid and bar windows share: a top-level window with the station's icon, a close box
// that leaves the switching off to the main window's menu command, and a rectangle remembered
// per view (WindowLayout, or the selected group's fields in the group view).
class DisplayWindow : public QWidget {
    Q_OBJECT

public:
    ~DisplayWindow() override;

    // Stores the window's rectangle for the current view; only in its normal state and in the
    // views that keep a layout.
    void saveLayout();
    // Applies the rectangle stored for the current view; with none stored the window keeps its
    // position and size.
    void restoreLayout();
    // Runs the window's closing steps and closes it for good (the close box only hides it).
    void closeForShutdown();

Q_SIGNALS:
    // The close box was used: the window stays, the main window switches the display off.
    void closeRequested();

protected:
    DisplayWindow(DisplayedState state, LayoutWindow kind, QWidget *parent);

    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

    DisplayedState m_state;

private:
    LayoutWindow m_kind;
    bool m_closingForGood = false;
};
