#include "DisplayWindow.h"

#include "DisplayWindowGeometry.h"
#include "DisplayWindowLayout.h"
#include "ScreenPlacement.h"
#include "StationIcon.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>

DisplayWindow::DisplayWindow(DisplayedState state, LayoutWindow kind, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state), m_kind(kind) {
    setWindowIcon(stationIcon());
}

DisplayWindow::~DisplayWindow() = default;

void DisplayWindow::saveLayout() {
    if (layoutMayBeStored(windowState(), m_state.view.ViewMode))
        storeDisplayRect(m_state, m_kind, windowRectInTwips(*this));
}

void DisplayWindow::saveShownLayout() {
    if (isVisible())
        saveLayout();
}

std::optional<StoredWindowRect> DisplayWindow::restorableLayout() const {
    const auto stored = storedDisplayRect(m_state, m_kind);
    if (!stored || !liesOnAScreen(storedRectInPixels(*this, *stored), availableScreenAreas()))
        return std::nullopt;
    return stored;
}

void DisplayWindow::restoreLayout() {
    if (const auto rect = restorableLayout()) {
        const auto hold = arranging();
        applyWindowRect(*this, *rect);
    }
}

void DisplayWindow::placeAt(QPoint topLeft) {
    const auto hold = arranging();
    move(topLeft);
}

void DisplayWindow::closeForShutdown() {
    m_closingForGood = true;
    close();
}

void DisplayWindow::closeEvent(QCloseEvent *event) {
    saveShownLayout();
    if (m_closingForGood) {
        event->accept();
        return;
    }
    event->ignore();
    Q_EMIT closeRequested();
}

void DisplayWindow::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        saveLayout();
    QWidget::changeEvent(event);
}

void DisplayWindow::moveEvent(QMoveEvent *event) {
    QWidget::moveEvent(event);
    if (!m_arranging)
        saveShownLayout();
}

void DisplayWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (!m_arranging)
        saveShownLayout();
}
