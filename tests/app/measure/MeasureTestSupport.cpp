#include "MeasureTestSupport.h"

#include "MeasureCommands.h"

#include <QFile>
#include <QSettings>

MeasureFolder::MeasureFolder() {
    // The settings store is QSettings in INI form: each test keeps its own.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path(QStringLiteral("config")));
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                       QStringLiteral("QorView"));
    settings.setValue(QStringLiteral("Measure/LogFile"), logPath());
    settings.sync();
}

QString sqliteCli(const QString &db, const QString &sql) {
    QProcess sqlite;
    sqlite.start(QStringLiteral(SQLITE3_PROGRAM), {db, sql});
    sqlite.waitForFinished(60000);
    EXPECT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().constData();
    return QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed();
}

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void feedTick(MeasureCommands &commands, const recording::TickReadings &readings) {
    for (size_t i = 0; i < readings.channels.size(); ++i)
        commands.takeReading(static_cast<int>(i), readings.channels[i]);
    commands.endTick(readings.tick, true);
}

void ProbeLines::take(QProcess &probe) {
    pending += probe.readAllStandardOutput();
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        const QString line = QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
        lines.append(line);
        if (line.startsWith(QLatin1String("committed ")))
            committed.insert(line.section(QLatin1Char(' '), 1, 1));
    }
}

qsizetype ProbeLines::count(const QString &start) const {
    qsizetype n = 0;
    for (const QString &line : lines)
        n += line.startsWith(start) ? 1 : 0;
    return n;
}
