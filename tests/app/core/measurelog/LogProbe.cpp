// A writer process for the tests that must kill one or run one under limits of its own:
//   measurelog_probe LOG [--parts N] [--channels C] [--unprivileged] [--file-size-limit BYTES]
// It records parts through the station's writer and prints one line per answer, each flushed
// before the next part is answered:
//   opened STATE<TAB>reason
//   committed UUID SERIAL
//   failed UUID STATE<TAB>reason
// With --read, it then reads the log and prints "read N" (the parts in it) or the failure.
// With --parts 0 it records until it is killed. --unprivileged drops root to nobody first (a
// read-only file is read-only to root only through a mount); exit code 77 if that is refused.

#include "LogReader.h"
#include "LogWriter.h"
#include "SampleParts.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace measurelog;

namespace {

void say(const QString &line) {
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

QString statusText(const LogStatus &status) {
    return QString::fromLatin1(stateName(status.state)) + QLatin1Char('\t') + status.reason;
}

bool dropPrivileges() {
    constexpr int Nobody = 65534;
    return geteuid() != 0 ||
           (setgroups(0, nullptr) == 0 && setgid(Nobody) == 0 && setuid(Nobody) == 0);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const QString log = arguments.value(0);
    auto option = [&](const char *name, qint64 otherwise) {
        const qsizetype at = arguments.indexOf(QLatin1String(name));
        return at < 0 ? otherwise : arguments.value(at + 1).toLongLong();
    };
    const qint64 parts = option("--parts", 10);
    const int channels = static_cast<int>(option("--channels", 8));
    if (const qint64 limit = option("--file-size-limit", 0); limit > 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG instead
        const rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        setrlimit(RLIMIT_FSIZE, &size);
    }
    if (arguments.contains(QLatin1String("--unprivileged")) && !dropPrivileges())
        return 77;

    LogWriter writer(log);
    qint64 submitted = 0;
    qint64 answered = 0;
    auto submitNext = [&] {
        if (parts == 0 || submitted < parts)
            writer.submit(samplePart(static_cast<int>(submitted++), channels));
    };
    const bool read = arguments.contains(QLatin1String("--read"));
    auto answer = [&](const QString &line) {
        say(line);
        if (parts > 0 && ++answered == parts) {
            if (read) {
                const Read<qint64> count = LogReader(log).count({});
                say(count.ok() ? QStringLiteral("read %1").arg(count.value) : count.failure);
            }
            app.quit();
        }
        submitNext();
    };
    QObject::connect(&writer, &LogWriter::opened, &app, [](const LogStatus &status) {
        say(QStringLiteral("opened ") + statusText(status));
    });
    QObject::connect(&writer, &LogWriter::committed, &app, [&](const Committed &part) {
        answer(QStringLiteral("committed %1 %2").arg(part.uuid).arg(part.serialNumber));
    });
    QObject::connect(&writer, &LogWriter::failed, &app,
                     [&](const QString &uuid, const LogStatus &status) {
                         answer(QStringLiteral("failed %1 ").arg(uuid) + statusText(status));
                     });
    // A few parts in flight, so a kill also lands while the writer has parts queued.
    for (int i = 0; i < 4; ++i)
        submitNext();
    return app.exec();
}
