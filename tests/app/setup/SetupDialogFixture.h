#pragma once

#include "CommandLine.h"
#include "FormMain.h"
#include "QuietMainWindow.h"
#include "Settings.h"
#include "SimulatedUnit.h"
#include "StationHelp.h"
#include "WaitFor.h"

#include <QAction>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// The main window over the stand-in unit with its exchange log (8 channels, 8 probes and 1 analog
// input after start-up), displays closed and the poll stopped, so the log holds only what the
// dialogs send.
class SetupDialogFixture : public ::testing::Test, public QuietMainWindow {
protected:
    // qorsim options besides the log.
    virtual QString unitOptions() const { return QStringLiteral("--preset empty"); }

    void SetUp() override {
        QString why;
        ASSERT_TRUE(openQuietly(unitOptions(), &why)) << why.toStdString();
    }

    QStringList requestsSince(qsizetype before) const { return requests().mid(before); }
    bool idle() {
        return waitFor([this] { return !window->linkScheduler().sequenceUnderWay(); });
    }
    template <typename T> static T *control(QWidget *in, const char *name) {
        return in->findChild<T *>(QLatin1String(name));
    }
    // Types into a box as the operator does: the text changes and the box says it was edited.
    static void type(QLineEdit *box, const QString &text) {
        box->setText(text);
        Q_EMIT box->textEdited(text);
    }
    std::vector<QString> boxTexts() const {
        std::vector<QString> texts;
        for (const auto &box : prompts.shown)
            texts.push_back(box.text);
        return texts;
    }
};
