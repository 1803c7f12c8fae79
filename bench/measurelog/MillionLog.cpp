#include "MillionLog.h"

#include "LogStore.h"
#include "PlainSqlite.h"
#include "SampleParts.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <vector>

using namespace measurelog;

namespace benchlog {

const QString Setups[4] = {QStringLiteral("bore.qor"), QStringLiteral("gear.qor"),
                           QStringLiteral("shaft.qor"), QStringLiteral("housing.qor")};

QTemporaryDir &folder() {
    static QTemporaryDir dir;
    return dir;
}

const QString &millionLog() {
    static const QString path = [] {
        const QString log = folder().filePath(QStringLiteral("million.sqlite"));
        LogStore(log).open();
        QElapsedTimer made;
        made.start();
        std::vector<PartRecord> templates;
        for (int i = 0; i < 997; ++i)
            templates.push_back(samplePart(i, Channels, Setups[i % 4]));
        {
            PlainSqlite plain(log, false);
            plain.begin();
            for (int i = 0; i < Parts; ++i) {
                PartRecord part = templates[static_cast<size_t>(i % 997)];
                part.uuid =
                    QStringLiteral("00000000-0000-4000-8000-%1").arg(i, 12, 10, QLatin1Char('0'));
                part.timeMs = Start + qint64{i} * PartEvery;
                part.setupFile = Setups[i % 4];
                part.serialText = QStringLiteral("LOT-%1").arg(i / 500);
                plain.insert(part, i + 1);
            }
            plain.execute("INSERT INTO setup_channels SELECT DISTINCT p.setup_file, v.channel, "
                          "v.description FROM parts AS p JOIN part_values AS v ON v.part_id = p.id "
                          "WHERE p.id <= 1000");
            plain.commit();
        }
        std::fprintf(stderr, "made a log of %d parts x %d channels, %.0f MB, in %.1f s\n", Parts,
                     Channels, static_cast<double>(QFileInfo(log).size()) / 1e6,
                     static_cast<double>(made.elapsed()) / 1000.0);
        return log;
    }();
    return path;
}

} // namespace benchlog
