// The box of a unit that did not respond, shown again and again as a shift of link errors would
// show it, must leave nothing behind: a station that runs for days must not grow with them.

#include "LinkLibrary.h"
#include "LinkRecovery.h"
#include "LinkSession.h"
#include "MessageBoxPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <malloc.h>

namespace {

// Answers every box with Retry, as the operator does through a shift of link errors. Before it
// answers, it takes the box's icon at each of its sizes as a desktop's window system does when
// the box's window is made (the offscreen platform of the tests asks for none).
class RetryAnswerer {
public:
    RetryAnswerer() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(0);
    }

    int answered = 0;
    qint64 firstIcon = 0;
    bool iconsDiffered = false;

private:
    void answer() {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(window);
            if (!box || !box->isVisible())
                continue;
            const QIcon icon = box->windowIcon();
            for (const QSize &size : icon.availableSizes())
                icon.pixmap(size);
            if (answered == 0)
                firstIcon = icon.cacheKey();
            iconsDiffered = iconsDiffered || icon.cacheKey() != firstIcon;
            ++answered;
            box->button(QMessageBox::Retry)->click();
            return;
        }
    }

    QTimer m_timer;
};

size_t heapInUse() {
    return mallinfo2().uordblks;
}

TEST(LinkErrorBox, AShiftOfRetriedBoxesLeavesNothingBehind) {
    LinkLibrary library;
    LinkSession session(library);
    MessageBoxPrompts prompts;
    QWidget mainWindow;
    mainWindow.show();
    prompts.setParentWindow(&mainWindow);
    RetryAnswerer operatorAtTheDesk;
    const auto showBoxes = [&](int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(askAfterNoResponse(session, prompts,
                                           QStringLiteral("QOR did not respond to command")));
    };

    // The first boxes fill what is filled once (fonts, styles, the icon's own pixmaps).
    constexpr int WarmUp = 100;
    showBoxes(WarmUp);
    const size_t settled = heapInUse();
    constexpr int Boxes = 200;
    showBoxes(Boxes);
    const size_t after = heapInUse();

    EXPECT_EQ(operatorAtTheDesk.answered, WarmUp + Boxes);
    EXPECT_FALSE(operatorAtTheDesk.iconsDiffered) << "every box shows the one program icon";
    const long long grown = static_cast<long long>(after) - static_cast<long long>(settled);
    // The allocator's own bookkeeping settles within some tens of bytes a box (fewer the longer
    // it runs). A box that left its icon's pixmaps in the cache kept tens of kilobytes, and once
    // the cache was full still about one: the keys of what it had to drop.
    EXPECT_LT(grown, Boxes * 160) << grown / Boxes << " bytes per box";
}

} // namespace
