#pragma once

#include "DisplayWindowLayout.h"
#include "DisplayedState.h"
#include "WindowLayout.h"

#include <QScopedValueRollback>
#include <QWidget>

#include <optional>

class QCloseEvent;
class QEvent;
class QMoveEvent;
class QResizeEvent;

// What the grid and bar windows share: a top-level window with the station's icon, a close box
// that leaves the switching off to the main window's menu command, and a rectangle remembered
// per view (WindowLayout, or the selected group's fields in the group view). The rectangle is
// stored whenever the window is moved, resized or closed, so it is current whether or not the
// window was ever activated.
class DisplayWindow : public QWidget {
    Q_OBJECT

public:
    ~DisplayWindow() override;

    // Stores the window's rectangle for the current view; only in its normal state and in the
    // views that keep a layout.
    void saveLayout();
    // saveLayout() when the window is shown: a hidden window may still have the size of a view
    // that is no longer current.
    void saveShownLayout();
    // Applies the rectangle stored for the current view; with none stored, or one that lies wholly
    // off every screen, the window keeps its position and size.
    void restoreLayout();
    // A rectangle is stored for the current view and part of it lies on a screen.
    bool hasRestorableLayout() const { return restorableLayout().has_value(); }
    // Places the window where the station chooses (its top-left corner, caption included); that
    // is not a layout of the operator's, so nothing is stored.
    void placeAt(QPoint topLeft);
    // Runs the window's closing steps and closes it for good (the close box only hides it).
    void closeForShutdown();

Q_SIGNALS:
    // The close box was used: the window stays, the main window switches the display off.
    void closeRequested();

protected:
    DisplayWindow(DisplayedState state, LayoutWindow kind, QWidget *parent);

    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    // Held while the window sizes or places itself (its own size rule, a restored layout): that
    // is not where the operator put it, and a view change may be half done.
    [[nodiscard]] QScopedValueRollback<bool> arranging() {
        return QScopedValueRollback<bool>(m_arranging, true);
    }

    DisplayedState m_state;

private:
    std::optional<StoredWindowRect> restorableLayout() const;

    LayoutWindow m_kind;
    bool m_closingForGood = false;
    bool m_arranging = false;
};
