// The station against qorsim on a pseudo-terminal paced like a real line, for the benchmarks that
// measure time on the line: the simulator, COM1 mapped to it, the link opened and the unit
// prepared as start-up does, the main window loaded, and the simulator's exchange log.
#pragma once

#include "CommandLine.h"
#include "FormMain.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Startup.h"
#include "Station.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

inline constexpr double BitsPerCharacter = 11.0; // start, 8 data, 2 stop

// The exchanges in a qorsim log from line `from` on and the bytes they put on the line: "<time>
// <request> -> <reply>", non-printing bytes escaped (\r, \xNN, ...).
struct LoggedExchanges {
    long count = 0;
    double lineBytes = 0;
};

inline double unescapedSize(const QByteArray &text) {
    double bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++bytes) {
        if (text[i] == '\\')
            i += text.mid(i + 1, 1) == "x" ? 3 : 1;
    }
    return bytes;
}

inline LoggedExchanges loggedExchanges(const QString &logFile, qsizetype from) {
    QFile file(logFile);
    LoggedExchanges logged;
    if (!file.open(QIODevice::ReadOnly))
        return logged;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = from; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype space = line.indexOf(' ');
        const qsizetype arrow = line.indexOf(" -> ");
        if (space < 0 || arrow < 0)
            continue;
        logged.lineBytes += unescapedSize(line.mid(space + 1, arrow - space - 1)) +
                            unescapedSize(line.mid(arrow + 4));
        ++logged.count;
    }
    return logged;
}

inline qsizetype logLines(const QString &logFile) {
    QFile file(logFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
}

struct PacedStation {
    QTemporaryDir folder;
    std::unique_ptr<SimulatedUnit> unit;
    std::unique_ptr<PortOverride> port;
    StationFixture fixture;
    CommandLine line;
    std::unique_ptr<StationHelp> help;
    std::unique_ptr<FormMain> window;
    QString log;

    // Starts qorsim with options (--pace, --link and --log are added) and opens the link at
    // baud as start-up does; false when anything did not come up.
    bool connect(const QStringList &options, int baud) {
        const QString path = folder.filePath(QStringLiteral("qor1"));
        log = folder.filePath(QStringLiteral("exchanges.log"));
        unit = std::make_unique<SimulatedUnit>(options + QStringList{QStringLiteral("--pace"),
                                                                     QStringLiteral("--link"), path,
                                                                     QStringLiteral("--log"), log});
        if (!unit->isRunning())
            return false;
        port = std::make_unique<PortOverride>(1, path);
        fixture.state.settings.setText(SettingKeys::Port, QStringLiteral("COM1"));
        fixture.state.settings.setText(SettingKeys::BaudRate, QString::number(baud));
        QString why;
        if (!fixture.link.load(&why))
            return false;
        StationStartup startup(fixture.state, line, [] {});
        if (!startup.OpenUnitLink())
            return false;
        startup.prepareUnit();
        return true;
    }

    // The main window, loaded as start-up loads it (polling starts).
    void showWindow() {
        help = std::make_unique<StationHelp>(fixture.state.config, fixture.state.prompts);
        window = std::make_unique<FormMain>(fixture.state, line, *help);
        window->Form_Load();
        window->show();
    }
};
