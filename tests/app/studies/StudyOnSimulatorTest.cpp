#include "LinkLibrary.h"
#include "SimulatedUnit.h"
#include "StudyReportPage.h"
#include "StudyWindowDriver.h"
#include "WaitFor.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

namespace {

// The FIFO made before the simulator starts, so that nothing writes to the path before it is one.
QString madeFifo(const QString &path) {
    ::mkfifo(QFile::encodeName(path).constData(), 0600);
    return path;
}

constexpr double Noise = 0.0005; // mm, the probes' noise set in the simulator
constexpr double PartSpread = 0.004;

// The simulator on a pseudo-terminal with its parts placed through its control FIFO, and its
// channels 1 and 2 read through the link library as the station's poll reads them.
class SimulatorGauge {
public:
    explicit SimulatorGauge(const QTemporaryDir &folder)
        : m_fifo(madeFifo(folder.filePath(QStringLiteral("control")))),
          m_partsLog(folder.filePath(QStringLiteral("parts.log"))), m_control(m_fifo),
          m_unit({QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--control"),
                  m_fifo, QStringLiteral("--parts-log"), m_partsLog, QStringLiteral("--spread"),
                  QString::number(PartSpread), QStringLiteral("--seed"), QStringLiteral("23")}) {}

    // Opens the link; empty, or why not.
    QString open() {
        if (!m_unit.isRunning())
            return QStringLiteral("the simulator did not start");
        qputenv("QORLINK_COM1", m_unit.device().toLocal8Bit());
        QString why;
        if (!m_link.load(&why))
            return why;
        m_handle = m_link.QorOpen(m_link.QorInitInfoStructure(1, 9600, 1, nullptr));
        if (m_handle == nullptr)
            return QStringLiteral("the link did not open");
        control(QStringLiteral("noise %1").arg(Noise));
        return {};
    }
    ~SimulatorGauge() {
        if (m_handle != nullptr)
            m_link.QorClose(m_handle);
    }

    // Places part N (from 1) of the seeded set, and waits until the simulator says it is placed.
    bool place(int part) {
        const int before = placements();
        control(QStringLiteral("part place %1").arg(part));
        return waitFor([&] { return placements() > before; });
    }
    // One tick of the poll: every channel of the source read through the library.
    bool tick(studyrun::ScriptedReadingSource &source) {
        std::map<int, double> readings;
        for (const studyrun::SourceChannel &channel : source.channels()) {
            float value = 0.0F;
            if (m_link.QorReadChannel(m_handle, channel.number, &value) != 0)
                return false;
            readings[channel.number] = value;
        }
        source.tick(readings);
        return true;
    }

private:
    // The FIFO stays open for writing from the first line on: a writer that closed it after each
    // line could lose the next one to the simulator closing its end at the end of the last.
    void control(const QString &line) {
        if (m_control.isOpen() || m_control.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            m_control.write(line.toUtf8() + '\n');
    }
    int placements() const {
        QFile log(m_partsLog);
        return log.open(QIODevice::ReadOnly) ? static_cast<int>(log.readAll().count('\n')) : 0;
    }

    QString m_fifo;
    QString m_partsLog;
    QFile m_control;
    SimulatedUnit m_unit;
    LinkLibrary m_link;
    QorHandle m_handle = nullptr;
};

// A 5 × 2 × 3 study of the simulator's parts through the window: each step places its part in the
// simulator and takes the channels' values read through the link library. The simulator's parts
// are sized by its seed and read with its set noise, so the repeatability the study finds is that
// noise, and the parts' variation their spread.
TEST(StudyOnSimulator, TheRepeatabilityFoundIsTheSimulatorsNoise) {
    if (!SimulatedUnit::available())
        GTEST_SKIP() << "qorsim is not built";
    QTemporaryDir folder;
    SimulatorGauge gauge(folder);
    ASSERT_EQ(gauge.open(), QString());
    StudyWindowDriver d(folder.filePath(QStringLiteral("measurements.sqlite")));
    ASSERT_EQ(d.startRr({1, 2}, 5, 2, 3, QStringLiteral("A, B")), QString());
    ASSERT_TRUE(d.takeEveryReading([&](const studies::StudyStep &step) {
        ASSERT_TRUE(gauge.place(step.part + 1));
        ASSERT_TRUE(gauge.tick(d.source));
    }));
    ASSERT_EQ(d.window.stage(), GaugeStudyWindow::Stage::Report);
    const studyrun::StudyFigures figures = d.window.session().figures();
    ASSERT_EQ(figures.channels.size(), 2u);
    for (const studyrun::ChannelFigures &channel : figures.channels) {
        SCOPED_TRACE(channel.channel.channel);
        ASSERT_TRUE(channel.anova.result) << channel.anova.refusal.toStdString();
        ASSERT_TRUE(channel.averageRange.analysis) << channel.averageRange.refusal.toStdString();
        // 20 degrees of freedom: the estimate lies within 35 % of σ but for a chance of 1 in 1000.
        EXPECT_NEAR(channel.anova.result->figures.ev.sigma, Noise, 0.35 * Noise);
        EXPECT_NEAR(channel.averageRange.analysis->result.figures.ev.sigma, Noise, 0.4 * Noise);
        EXPECT_NEAR(channel.anova.result->figures.pv.sigma, PartSpread, 0.7 * PartSpread);
    }
}

} // namespace
