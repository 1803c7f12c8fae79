#pragma once

#include "DisplayedState.h"
#include "LinkSequence.h"
#include "LiveValues.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>

class FormGridDisplay;
class FormLinGage;
class QWidget;

// What the displays ask of the main window.
struct DisplayHooks {
    // Runs the displays' set-up reads (through the link scheduler, like every other exchange).
    std::function<void(LinkSequence)> runReads;
    // Every display made is registered with the steps that unload it when the station closes.
    std::function<void(QWidget *, std::function<void()>)> registerLoadedWindow;
    // The operator closed a display with its close box (View > Numbers or View > Bar Graphs).
    std::function<void()> gridClosed;
    std::function<void()> barsClosed;
    // A click on a row or gauge (1-based), and a right click on a gauge.
    std::function<void(int)> rowPicked;
    std::function<void(int, QPoint)> gaugeRightClicked;
};

// The two displays of the main list, the numbers (grid) and the bar graphs: each made the first
// time it is shown, fed the rows of the view as the poll reads them while it is wanted (its View
// menu item checked), and placed once below the main window when no layout is stored for it.
class StationDisplays : public QObject {
    Q_OBJECT

public:
    StationDisplays(DisplayedState shown, LiveValues &live, DisplayHooks hooks);
    ~StationDisplays() override;

    // Whether a display is wanted (its View menu item checked): one not wanted is hidden and gets
    // no rows; showWanted() shows the wanted ones.
    void setGridWanted(bool wanted);
    void setBarsWanted(bool wanted);
    void showWanted();
    // The wanted displays show the current view afresh, in the size stored for it if any.
    void showView();
    // While deferred, shown displays wait to be placed until placing is resumed (both start-up
    // displays are open before either is placed, so the bars can go beside the grid).
    void deferPlacing(bool deferred) { m_placingDeferred = deferred; }
    // A display with no layout stored opens just below `mainWindow`, the grid first and the bars
    // beside it, instead of wherever the window system puts it; each is placed so only once.
    void placeBelow(QRect mainWindow);
    // The shown displays' rectangles into the window layout, as they are at this moment.
    void saveShownLayout();

    FormGridDisplay *grid() const { return m_grid.get(); }
    FormLinGage *bars() const { return m_bars.get(); }

private:
    static constexpr int Gap = 8;
    FormGridDisplay &makeGrid();
    FormLinGage &makeBars();
    // Rows of the group and channel views are written only when their value changed since the
    // view was shown; a read that failed leaves the row as it was.
    void showRow(const ViewRowReading &row);

    DisplayedState m_shown;
    DisplayHooks m_hooks;
    LiveSubscription m_rows;
    std::unique_ptr<FormGridDisplay> m_grid;
    std::unique_ptr<FormLinGage> m_bars;
    bool m_gridWanted = false;
    bool m_barsWanted = false;
    bool m_gridPlaced = false;
    bool m_barsPlaced = false;
    bool m_placingDeferred = false;
};
