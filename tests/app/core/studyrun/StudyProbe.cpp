// A study run in a process of its own, for the test that kills one while it writes:
//   studyrun_probe LOG [--resume ID]
// It runs a 10 × 3 × 3 study of two channels against the simulated gauge (a new one, or the
// stored study ID), taking each reading as soon as the last is stored, and prints one line per
// answer of the log, each flushed before the next reading is taken:
//   created ID
//   stored SEQUENCE APPRAISER PART TRIAL VALUE...   (0-based step, values to every digit)
//   complete
// It ends once the study is complete, or prints "refused REASON" and ends with 1.

#include "LogReader.h"
#include "LogWriter.h"
#include "StudySession.h"
#include "StudyTestParts.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using namespace studyrun;

namespace {

void say(const QString &line) {
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString log = arguments.value(0);
    const qsizetype resumeAt = arguments.indexOf(QStringLiteral("--resume"));

    ScriptedReadingSource source(testing::GaugeSetup, testing::gaugeChannels());
    testing::SimulatedGauge gauge(source, {});
    measurelog::LogWriter writer(log);
    StudySession session(writer, source);

    QObject::connect(&writer, &measurelog::LogWriter::studyCreated, &app,
                     [](const QString &, qint64 id, const measurelog::LogStatus &status) {
                         say(status.isReady() ? QStringLiteral("created %1").arg(id)
                                              : QStringLiteral("refused ") + status.reason);
                     });
    QObject::connect(
        &writer, &measurelog::LogWriter::studyReadingStored, &app,
        [](const measurelog::StudyReadingRecord &reading, const measurelog::LogStatus &status) {
            if (!status.isReady()) {
                say(QStringLiteral("refused ") + status.reason);
                return;
            }
            QString line = QStringLiteral("stored %1 %2 %3 %4")
                               .arg(reading.sequence)
                               .arg(reading.appraiser)
                               .arg(reading.part)
                               .arg(reading.trial);
            for (double value : reading.values)
                line += QLatin1Char(' ') + QString::number(value, 'g', 17);
            say(line);
        });
    // Each answer moves the study on: the next part placed, its reading taken.
    QObject::connect(&session, &StudySession::changed, &app, [&] {
        if (session.state() != StudySession::State::Taking)
            return;
        if (session.isComplete()) {
            say(QStringLiteral("complete"));
            QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
            return;
        }
        gauge.place(*session.currentStep());
        if (const QString refusal = session.takeReading(); !refusal.isEmpty()) {
            say(QStringLiteral("refused ") + refusal);
            QMetaObject::invokeMethod(
                &app, [&app] { app.exit(1); }, Qt::QueuedConnection);
        }
    });

    QString refusal;
    if (resumeAt >= 0) {
        measurelog::LogReader reader(log);
        const auto stored = reader.study(arguments.value(resumeAt + 1).toLongLong()).value;
        refusal = stored ? session.resume(*stored) : QStringLiteral("no such study");
    } else {
        refusal = session.start(gaugeRrStudy(
            {{1, QStringLiteral("Bore"), 4, 0.1}, {2, QStringLiteral("Shaft"), 4, 0.08}}));
    }
    if (!refusal.isEmpty()) {
        say(QStringLiteral("refused ") + refusal);
        return 1;
    }
    return app.exec();
}
