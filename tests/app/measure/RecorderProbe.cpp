// A process that records as the station does, for the tests that must kill one or limit one:
//   measure_recorder_probe LOG [--parts N] [--channels C] [--unprivileged]
//                              [--file-size-limit BYTES]
// Each tick feeds a reading of every channel of a view to the recorder, ends the tick and
// presses Record; one line per answer, each flushed before the next part is recorded:
//   committed UUID SERIAL
//   refused REASON        (Record was not possible)
//   box REASON            (the box the operator would see, once)
// It stops after N answers; with --parts 0 it records until it is killed. --unprivileged drops
// root to nobody first; exit code 77 if that is refused.

#include "PartRecorder.h"
#include "RecordingSamples.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace recording;

namespace {

void say(const QString &line) {
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

bool dropPrivileges() {
    constexpr int Nobody = 65534;
    return geteuid() != 0 ||
           (setgroups(0, nullptr) == 0 && setgid(Nobody) == 0 && setuid(Nobody) == 0);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    auto option = [&](const char *name, qint64 otherwise) {
        const qsizetype at = arguments.indexOf(QLatin1String(name));
        return at < 0 ? otherwise : arguments.value(at + 1).toLongLong();
    };
    const qint64 parts = option("--parts", 10);
    const int channels = static_cast<int>(option("--channels", 8));
    if (const qint64 limit = option("--file-size-limit", 0); limit > 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        const rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        setrlimit(RLIMIT_FSIZE, &size);
    }
    if (arguments.contains(QLatin1String("--unprivileged")) && !dropPrivileges())
        return 77;

    PartRecorder recorder(arguments.value(0));
    const RecordingView view = limitedView(channels);
    recorder.showView(view);
    qint64 answered = 0;
    QTimer ticks;
    auto answer = [&](const QString &line) {
        say(line);
        if (parts > 0 && ++answered >= parts) {
            // No part after the last answer: the writer would store it on the way out unsaid.
            ticks.stop();
            app.quit();
        }
    };
    QObject::connect(
        &recorder, &PartRecorder::partCommitted, &app, [&](const measurelog::Committed &part) {
            answer(QStringLiteral("committed %1 %2").arg(part.uuid).arg(part.serialNumber));
        });
    QObject::connect(&recorder, &PartRecorder::badGround, &app,
                     [](const QString &reason) { say(QStringLiteral("box ") + reason); });
    QObject::connect(&recorder, &PartRecorder::statusText, &app, [&](const QString &text) {
        if (!text.startsWith(QLatin1String("Part ")))
            answer(QStringLiteral("refused ") + text);
    });
    qint64 tick = 0;
    QObject::connect(&ticks, &QTimer::timeout, &app, [&] {
        // One part in flight at a time, as an operator records: the answer comes before the next.
        if (recorder.pending() > 0)
            return;
        ++tick;
        const TickReadings readings =
            uniformReadings(view, tick, Tolerance * static_cast<double>((tick % 7) - 3) / 3.0);
        for (size_t i = 0; i < readings.channels.size(); ++i)
            recorder.takeReading(static_cast<int>(i), readings.channels[i]);
        recorder.endTick(tick);
        recorder.record();
    });
    ticks.start(0);
    return app.exec();
}
