#pragma once

#include "BrokerProcess.h"
#include "LogWriter.h"
#include "PartRecord.h"
#include "PlantLinkSettings.h"
#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTemporaryDir>

#include <functional>
#include <vector>

// What the station's plant link tests share: settings and a measurement log in folders of the
// test's own, a main window to hang the link on, answered boxes, and parts recorded through the
// log's writer.
class StationLinkFixture : public ::testing::Test {
protected:
    static inline const QString Station = QStringLiteral("line-7");

    void SetUp() override;

    QString logPath() const { return m_data.filePath(QStringLiteral("measurements.sqlite")); }
    QString configFolder() const { return m_config.path(); }

    // Stores the plant link's settings switched on for a broker on the loopback.
    void switchOn(int port, const std::function<void(plantlink::PlantLinkSettings &)> &change = {});

    // Records parts made up from the next seeds through the writer and waits for their commits.
    std::vector<measurelog::Committed> record(measurelog::LogWriter &writer, int count);
    // Every part in the log, in recording order, with its values.
    std::vector<measurelog::PartRecord> logParts() const;
    qsizetype unsentInLog() const;

    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QMainWindow m_window;
    ScriptedPrompts m_prompts;
    int m_seed = 0;
};

// The uuid of a part document.
QString uuidOf(const QByteArray &document);
// Each uuid once, in the order it first arrived: what a historian that drops repeats keeps.
QStringList uniqueUuids(const QList<QByteArray> &documents);
