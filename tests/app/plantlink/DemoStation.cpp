// A station's plant link over a real unit, without the rest of the window: reads the channels of
// the unit on COM<port> through the link library (point QORLINK_COM<port> at a qorsim terminal),
// records one part every interval into a measurement log of its own through the log's writer,
// and publishes through the station's plant link, with its settings and password as the station
// keeps them under $XDG_CONFIG_HOME. For demonstrations of several stations on one broker:
//
//     plantlink_demo_station PORT LOG PARTS INTERVAL_MS
//
// Ends once every part it recorded is acknowledged by the broker.
#include "LogWriter.h"
#include "PlantLinkCommands.h"
#include "ScriptedPrompts.h"

#include "qorlink.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

constexpr int MostChannels = 8;
constexpr int Decimals = 4;

std::optional<double> readFloat(int32_t (*read)(QorHandle, int32_t, float *), QorHandle unit,
                                int channel) {
    float value = 0;
    if (read(unit, channel, &value) != QOR_OK)
        return std::nullopt;
    return value;
}

// A limit the unit keeps as 0 is taken as none, as a new channel has.
std::optional<double> limit(int32_t (*read)(QorHandle, int32_t, float *), QorHandle unit,
                            int channel) {
    const std::optional<double> value = readFloat(read, unit, channel);
    return value && *value != 0.0 ? value : std::nullopt;
}

measurelog::Verdict verdictOf(const measurelog::ValueRecord &v) {
    using measurelog::Verdict;
    if (!v.lowTolerance && !v.highTolerance)
        return Verdict::NoLimits;
    if ((v.lowTolerance && v.value < *v.lowTolerance) ||
        (v.highTolerance && v.value > *v.highTolerance))
        return Verdict::Reject;
    if ((v.lowApproach && v.value < *v.lowApproach) ||
        (v.highApproach && v.value > *v.highApproach))
        return Verdict::Warn;
    return Verdict::Good;
}

std::optional<measurelog::PartRecord> readPart(QorHandle unit) {
    int16_t channels = 0;
    if (QorGetNumberOfChannels(unit, &channels) != QOR_OK)
        return std::nullopt;
    measurelog::PartRecord part;
    part.operatorName = QStringLiteral("demo");
    part.setupFile = QStringLiteral("demo.qor");
    part.viewName = QStringLiteral("Channels");
    for (int channel = 1; channel <= std::min<int>(channels, MostChannels); ++channel) {
        measurelog::ValueRecord value;
        value.channel = channel;
        char text[QOR_TEXT_BUFFER_SIZE] = {};
        if (QorReadChannelDesc(unit, channel, text) == QOR_OK)
            value.description = QString::fromLatin1(text).trimmed();
        const std::optional<double> reading = readFloat(&QorReadChannel, unit, channel);
        if (!reading)
            return std::nullopt;
        value.value = *reading;
        value.decimals = Decimals;
        value.lowTolerance = limit(&QorReadLoTolerance, unit, channel);
        value.highTolerance = limit(&QorReadHiTolerance, unit, channel);
        value.lowApproach = limit(&QorReadLoApproach, unit, channel);
        value.highApproach = limit(&QorReadHiApproach, unit, channel);
        value.verdict = verdictOf(value);
        part.values.push_back(value);
    }
    return part;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("demo"));
    const QStringList arguments = app.arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: %s PORT LOG PARTS INTERVAL_MS\n", argv[0]);
        return 2;
    }
    QorInfo *info = QorInitInfoStructure(arguments[1].toInt(), 9600, 1, nullptr);
    QorHandle unit = QorOpen(info);
    if (!unit) {
        std::fprintf(stderr, "COM%s does not open (error %d)\n", qPrintable(arguments[1]),
                     info->error);
        return 1;
    }
    const int parts = arguments[3].toInt();

    measurelog::LogWriter writer(arguments[2]);
    QMainWindow window;
    ScriptedPrompts prompts;
    PlantLinkCommands link(window, writer, prompts);
    link.setSetupName(QStringLiteral("demo.qor"));

    int recorded = 0;
    int committed = 0;
    QTimer record;
    QObject::connect(&record, &QTimer::timeout, &app, [&] {
        std::optional<measurelog::PartRecord> part = readPart(unit);
        if (!part)
            return; // read again at the next interval
        writer.submit(*part);
        if (++recorded == parts)
            record.stop();
    });
    QObject::connect(&writer, &measurelog::LogWriter::committed, &app,
                     [&committed](const measurelog::Committed &part) {
                         ++committed;
                         std::printf("recorded part %lld %s\n",
                                     static_cast<long long>(part.serialNumber),
                                     qPrintable(part.uuid));
                         std::fflush(stdout);
                     });
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, &app, [&] {
        if (committed == recorded && recorded == parts && link.outbox().unsentCount() == 0)
            app.quit();
    });
    record.start(arguments[4].toInt());
    done.start(100);
    const int result = app.exec();
    QorClose(unit);
    return result;
}
