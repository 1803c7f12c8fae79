#include "StationDisplays.h"

#include "FormGridDisplay.h"
#include "FormLinGage.h"

StationDisplays::StationDisplays(DisplayedState shown, LiveValues &live, DisplayHooks hooks)
    : m_shown(shown), m_hooks(std::move(hooks)) {
    ViewFollower follower;
    follower.row = [this](const ViewRowReading &row) {
        showRow(row);
    };
    m_rows = live.followView(std::move(follower));
}

StationDisplays::~StationDisplays() = default;

FormGridDisplay &StationDisplays::makeGrid() {
    if (!m_grid) {
        m_grid = std::make_unique<FormGridDisplay>(m_shown);
        m_grid->setReadRunner(m_hooks.runReads);
        connect(m_grid.get(), &FormGridDisplay::closeRequested, this,
                [this] { m_hooks.gridClosed(); });
        connect(m_grid.get(), &FormGridDisplay::rowPicked, this,
                [this](int row) { m_hooks.rowPicked(row); });
        m_hooks.registerLoadedWindow(m_grid.get(), [this] { m_grid->closeForShutdown(); });
    }
    return *m_grid;
}

FormLinGage &StationDisplays::makeBars() {
    if (!m_bars) {
        m_bars = std::make_unique<FormLinGage>(m_shown);
        m_bars->setReadRunner(m_hooks.runReads);
        connect(m_bars.get(), &FormLinGage::closeRequested, this, [this] { m_hooks.barsClosed(); });
        connect(m_bars.get(), &FormLinGage::gaugeClicked, this,
                [this](int gauge) { m_hooks.rowPicked(gauge); });
        connect(m_bars.get(), &FormLinGage::gaugeRightClicked, this,
                [this](int gauge, QPoint at) { m_hooks.gaugeRightClicked(gauge, at); });
        m_hooks.registerLoadedWindow(m_bars.get(), [this] { m_bars->closeForShutdown(); });
    }
    return *m_bars;
}

void StationDisplays::setGridWanted(bool wanted) {
    m_gridWanted = wanted;
    if (!wanted && m_grid)
        m_grid->hide();
}

void StationDisplays::setBarsWanted(bool wanted) {
    m_barsWanted = wanted;
    if (!wanted && m_bars)
        m_bars->hide();
}

void StationDisplays::showWanted() {
    if (m_gridWanted)
        makeGrid().show();
    if (m_barsWanted)
        makeBars().show();
}

void StationDisplays::showView() {
    // A layout stored for the view wins over the size the display chose for its rows.
    if (m_gridWanted) {
        makeGrid().UpdateGridDisplay();
        m_grid->RestoreGridFormSize();
    }
    if (m_barsWanted) {
        makeBars().UpdateBarDisplay();
        m_bars->RestoreLGaugeFormSize();
    }
}

// With no window manager a display would otherwise open on top of the main window; after its
// first placing it stays where the operator moved it.
void StationDisplays::placeBelow(QRect mainWindow) {
    if (m_placingDeferred)
        return;
    const int top = mainWindow.bottom() + 1 + Gap;
    if (m_grid && m_grid->isVisible() && !m_gridPlaced) {
        m_gridPlaced = true;
        if (!m_grid->hasRestorableLayout())
            m_grid->placeAt(QPoint(mainWindow.left(), top));
    }
    if (m_bars && m_bars->isVisible() && !m_barsPlaced) {
        m_barsPlaced = true;
        const bool gridBeside = m_grid && m_grid->isVisible();
        if (!m_bars->hasRestorableLayout())
            m_bars->placeAt(QPoint(
                gridBeside ? m_grid->frameGeometry().right() + 1 + Gap : mainWindow.left(), top));
    }
}

void StationDisplays::saveShownLayout() {
    if (m_grid)
        m_grid->saveShownLayout();
    if (m_bars)
        m_bars->saveShownLayout();
}

void StationDisplays::showRow(const ViewRowReading &row) {
    if (row.changed && row.reading.value) {
        if (m_gridWanted)
            makeGrid().SetGridValue(row.row, row.reading.text());
        if (m_barsWanted)
            makeBars().SetBarValue(row.row, *row.reading.value);
    }
    if (row.staleNow) {
        if (m_gridWanted)
            makeGrid().setValueStale(row.row, *row.staleNow);
        if (m_barsWanted)
            makeBars().SetBarStale(row.row, *row.staleNow);
    }
}
