#pragma once

#include "RecordingInput.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <set>

class MeasureCommands;

// What the Measure menu's tests share: a fresh folder with the settings pointed into it, the
// real sqlite3 program, and the poll's feed for one tick.
class MeasureFolder : public ::testing::Test {
protected:
    MeasureFolder();

    QString path(const QString &name) const { return m_folder.filePath(name); }
    QString logPath() const { return path(QStringLiteral("log/measurements.sqlite")); }

    QTemporaryDir m_folder;
};

// Output of the sqlite3 program run on `db` with `sql`, trimmed; rows on lines, fields by '|'.
QString sqliteCli(const QString &db, const QString &sql);
QByteArray contentsOf(const QString &path);

// Feeds one tick of readings as the poll hands them over, and ends it.
void feedTick(MeasureCommands &commands, const recording::TickReadings &readings);

// The recorder probe's lines as they come.
struct ProbeLines {
    QByteArray pending;
    QStringList lines;
    std::set<QString> committed; // uuids

    void take(QProcess &probe);
    qsizetype count(const QString &start) const;
};
