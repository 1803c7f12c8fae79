#include "StudyWindowDriver.h"

#include "StudyRunPage.h"
#include "StudySetupPage.h"
#include "StudyTestParts.h"
#include "WaitFor.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

using studyrun::StudySession;

StudyWindowDriver::StudyWindowDriver(const QString &logPath)
    : source(studyrun::testing::GaugeSetup, studyrun::testing::gaugeChannels()), writer(logPath),
      window(writer, source, prompts) {}

namespace {

QString started(GaugeStudyWindow &window) {
    StudySetupPage &setup = *window.setupPage();
    setup.startButton()->click();
    if (window.stage() != GaugeStudyWindow::Stage::Run)
        return setup.message()->text();
    waitFor([&] { return window.session().state() == StudySession::State::Taking; });
    return {};
}

} // namespace

QString StudyWindowDriver::startRr(const std::vector<int> &channels, int parts, int appraisers,
                                   int trials, const QString &names) {
    StudySetupPage &setup = *window.setupPage();
    setup.kind()->setCurrentIndex(1);
    setup.parts()->setValue(parts);
    setup.appraisers()->setValue(appraisers);
    setup.trials()->setValue(trials);
    setup.appraiserNames()->setText(names);
    QListWidget &list = *setup.rrChannels();
    for (int row = 0; row < list.count(); ++row) {
        const int number = source.channels()[static_cast<std::size_t>(row)].number;
        const bool chosen = std::find(channels.begin(), channels.end(), number) != channels.end();
        list.item(row)->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
    }
    return started(window);
}

QString StudyWindowDriver::startType1(int channelIndex, double reference, int repeats) {
    StudySetupPage &setup = *window.setupPage();
    setup.kind()->setCurrentIndex(0);
    setup.type1Channel()->setCurrentIndex(channelIndex);
    setup.reference()->setValue(reference);
    setup.repeats()->setValue(repeats);
    return started(window);
}

bool StudyWindowDriver::takeOne() {
    StudySession &session = window.session();
    const int before = static_cast<int>(session.readings().history().size());
    window.runPage()->takeButton()->click();
    return waitFor([&] {
        return session.state() == StudySession::State::Taking &&
               static_cast<int>(session.readings().history().size()) == before + 1;
    });
}

bool StudyWindowDriver::takeEveryReading(
    const std::function<void(const studies::StudyStep &)> &place) {
    StudySession &session = window.session();
    while (!session.isComplete()) {
        place(*session.currentStep());
        if (!takeOne())
            return false;
    }
    return true;
}
