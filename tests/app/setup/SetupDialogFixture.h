#pragma once

#include "CommandLine.h"
#include "FormMain.h"
#include "Settings.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
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
class SetupDialogFixture : public ::testing::Test, public StationFixture {
protected:
    // qorsim options besides the log.
    virtual QString unitOptions() const { return QStringLiteral("--preset empty"); }

    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(unitOptions() + QStringLiteral(" --log ") + logFile(), &why))
            << why.toStdString();
        settings.setText(SettingKeys::BarsAtStartup, QStringLiteral("0"));
        settings.setText(SettingKeys::NumericDisplay, QStringLiteral("0"));
        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
        window->show();
    }

    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requests() const { return requestsOfLog(logFile()); }
    QStringList requestsSince(qsizetype before) const { return requests().mid(before); }
    bool idle() {
        return waitFor([this] { return !window->linkScheduler().sequenceUnderWay(); });
    }
    QAction *action(const char *name) const {
        return window->findChild<QAction *>(QLatin1String(name));
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

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
};
