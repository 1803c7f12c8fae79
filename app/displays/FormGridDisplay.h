#pragma once

#include "DisplayContent.h"
#include "DisplayWindow.h"

#include <functional>
#include <memory>

namespace Ui {
class FormGridDisplay;
}

// The numeric display: one row per item of the current view with its live reading. The main
// window decides the view, writes every reading with SetGridValue and shows or hides the window;
// the window itself reads only row labels from the measurement objects.
class FormGridDisplay : public DisplayWindow {
    Q_OBJECT

public:
    explicit FormGridDisplay(DisplayedState state, QWidget *parent = nullptr);
    ~FormGridDisplay() override;

    // Text of row's value cell; row 1 is the first item. Rows outside the grid are ignored. A
    // cell stays blank until its row's first reading, and every display update blanks it again.
    void SetGridValue(int row, const QString &NValue);
    // Row's reading is no longer current (drawn grey) or is again.
    void setValueStale(int row, bool stale);
    bool isValueStale(int row) const;
    // Caption, columns, headings, rows, labels and window size for the current view. With a read
    // runner the rows come at once, a channel's row showing its number (in grey) until its
    // description has been read, row by row in the view's order.
    void UpdateGridDisplay();
    // Runs the reads a display update needs, one exchange per turn of the event loop (the main
    // window hands its link scheduler here). Without one they run at once.
    using ReadRunner = std::function<void(LinkSequence)>;
    void setReadRunner(ReadRunner runner) { m_runReads = std::move(runner); }

    // Item count of the current view into TotalNumberOfNumerics (digital inputs keep it).
    void SetNumberOfNumerics();
    int TotalNumberOfNumerics() const { return m_totalNumberOfNumerics; }
    void SaveGridFormSize() { saveLayout(); }
    void RestoreGridFormSize() { restoreLayout(); }

    // Shows given content as UpdateGridDisplay does with the view's (also for pictures).
    void showContent(const GridContent &content);
    // Rows of the grid, the heading row included.
    int gridRowCount() const;

Q_SIGNALS:
    // The operator picked a row (1-based) to open its item's set-up: a double click on it, or
    // Enter on the current row.
    void rowPicked(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pickRow(const QModelIndex &index);
    void setRows(const GridRows &rows);
    void setLabel(int row, const QString &label, ItemSetup setup);
    void clearValues();
    void applySizeRule();
    void fitRowHeights();

    std::unique_ptr<Ui::FormGridDisplay> ui;
    int m_totalNumberOfNumerics = 0;
    ReadRunner m_runReads;
    unsigned m_contentGeneration = 0;
};
