#include "DisplayWindow.h"

#include "DisplayWindowGeometry.h"
#include "DisplayWindowLayout.h"
#include "StationIcon.h"

#include <QCloseEvent>

DisplayWindow::DisplayWindow(DisplayedState state, LayoutWindow kind, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state), m_kind(kind) {
    setWindowIcon(stationIcon());
}

DisplayWindow::~DisplayWindow() = default;

void DisplayWindow::saveLayout() {
    if (layoutMayBeStored(windowState(), m_state.view.ViewMode))
        storeDisplayRect(m_state, m_kind, windowRectInTwips(*this));
}

void DisplayWindow::restoreLayout() {
    if (const auto rect = storedDisplayRect(m_state, m_kind))
        applyWindowRect(*this, *rect);
}

void DisplayWindow::closeForShutdown() {
    if (isVisible())
        saveLayout();
    m_closingForGood = true;
    close();
}

void DisplayWindow::closeEvent(QCloseEvent *event) {
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
