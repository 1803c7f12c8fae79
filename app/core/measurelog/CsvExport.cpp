#include "CsvExport.h"

#include "LogReader.h"
#include "LogTime.h"
#include "PartRecord.h"
#include "ShownDecimal.h"
#include "Sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace measurelog {

namespace {

constexpr int RowsBetweenChecks = 1000;
constexpr size_t FlushBytes = size_t{1} << 20;

// The columns of the export query, in order.
enum Column {
    PartId,
    Uuid,
    TimeMs,
    Station,
    Operator,
    SerialNumber,
    SerialText,
    SetupFile,
    SetupHash,
    ViewName,
    PartVerdict,
    Channel,
    Description,
    Value,
    Decimals,
    Nominal,
    LowTolerance,
    HighTolerance,
    LowApproach,
    HighApproach,
    ValueVerdict,
};

constexpr const char *PartHeader =
    "uuid,time_utc,station,operator,serial_number,serial_lot,setup_file,setup_hash,view,verdict";
constexpr const char *ValueHeader = ",channel,description,value,nominal,low_tolerance,"
                                    "high_tolerance,low_approach,high_approach,channel_verdict";

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

void appendField(std::string &out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendInteger(std::string &out, qint64 value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void appendOptionalNumber(std::string &out, const SqliteStatement &row, int column, int decimals) {
    if (!row.isNull(column))
        appendShownDecimal(out, row.real(column), decimals);
}

void appendVerdict(std::string &out, qint64 code) {
    out += verdictWord(verdictFromCode(code).value_or(Verdict::NoLimits));
}

void appendPartFields(std::string &out, const SqliteStatement &row) {
    appendField(out, row.utf8(Uuid));
    out += ',';
    appendUtcText(out, row.int64(TimeMs));
    for (int column : {Station, Operator}) {
        out += ',';
        appendField(out, row.utf8(column));
    }
    out += ',';
    appendInteger(out, row.int64(SerialNumber));
    for (int column : {SerialText, SetupFile, SetupHash, ViewName}) {
        out += ',';
        appendField(out, row.utf8(column));
    }
    out += ',';
    appendVerdict(out, row.int64(PartVerdict));
}

// A wide export's channel columns: every channel recorded with the setups exported, each headed
// by its number and, when those setups agree on it, its description.
struct WideColumns {
    std::vector<int> channels;
    std::unordered_map<int, size_t> columnOf;
    std::string header;
};

WideColumns wideColumns(SqliteDatabase &db, const std::optional<QString> &setupFile) {
    SqliteStatement query = db.prepare(
        setupFile ? "SELECT channel, description FROM setup_channels WHERE setup_file = ?"
                  : "SELECT channel, description FROM setup_channels");
    if (setupFile)
        query.bind(1, *setupFile);
    std::map<int, std::set<std::string>> descriptions;
    while (query.step())
        descriptions[static_cast<int>(query.int64(0))].insert(std::string(query.utf8(1)));
    WideColumns columns;
    for (const auto &[channel, texts] : descriptions) {
        columns.columnOf[channel] = columns.channels.size();
        columns.channels.push_back(channel);
        std::string title = "ch" + std::to_string(channel);
        if (texts.size() == 1 && !texts.begin()->empty())
            title += ' ' + *texts.begin();
        columns.header += ',';
        appendField(columns.header, title);
    }
    return columns;
}

class CsvWriter {
public:
    CsvWriter(const QString &csvPath, const ExportControl &control, qint64 firstId, qint64 lastId)
        : m_file(csvPath), m_control(control), m_firstId(firstId), m_lastId(lastId) {
        m_out.reserve(FlushBytes + 4096);
    }

    QString open() {
        if (m_file.open(QIODevice::WriteOnly))
            return {};
        return QStringLiteral("The export file %1 could not be created (%2).")
            .arg(shown(m_file.fileName()), m_file.errorString());
    }

    std::string &out() { return m_out; }

    // After each row: flushes now and then, reports progress and looks at the cancel flag.
    // False when the export is to stop.
    bool rowDone(qint64 partId) {
        m_out += "\r\n";
        if (m_out.size() >= FlushBytes && !flush())
            return false;
        if (++m_rows % RowsBetweenChecks != 0)
            return true;
        if (m_control.progress && m_lastId >= m_firstId)
            m_control.progress(static_cast<double>(partId - m_firstId + 1) /
                               static_cast<double>(m_lastId - m_firstId + 1));
        return !cancelled();
    }

    bool cancelled() const { return m_control.cancel != nullptr && m_control.cancel->load(); }

    ExportResult finish(qint64 parts) {
        if (cancelled())
            return {ExportOutcome::Cancelled, parts, {}};
        if (!flush() || !m_file.commit())
            return writeFailure();
        if (m_control.progress)
            m_control.progress(1.0);
        return {ExportOutcome::Written, parts, {}};
    }

    ExportResult writeFailure() {
        ExportResult result{ExportOutcome::Failed, 0,
                            QStringLiteral("The export file %1 could not be written (%2).")
                                .arg(shown(m_file.fileName()), m_file.errorString())};
        m_file.cancelWriting();
        return result;
    }

private:
    bool flush() {
        const auto size = static_cast<qint64>(m_out.size());
        const bool written = m_file.write(m_out.data(), size) == size;
        m_out.clear();
        return written;
    }

    QSaveFile m_file;
    const ExportControl &m_control;
    const qint64 m_firstId;
    const qint64 m_lastId;
    std::string m_out;
    qint64 m_rows = 0;
};

std::string exportQuery(const FilterSql &where) {
    // The filter applies to the parts alone; each part's values follow it in recording order.
    return "SELECT p.id, p.uuid, p.time_ms, p.station, p.operator, p.serial_number, "
           "p.serial_text, p.setup_file, p.setup_hash, p.view_name, p.verdict, v.channel, "
           "v.description, v.value, v.decimals, v.nominal, v.low_tolerance, v.high_tolerance, "
           "v.low_approach, v.high_approach, v.verdict "
           "FROM (SELECT * FROM parts WHERE " +
           where.condition +
           ") AS p LEFT JOIN part_values AS v ON v.part_id = p.id ORDER BY p.id, v.position";
}

// One row per value, a part without values as one row with its value fields empty.
bool writeLong(SqliteStatement &rows, CsvWriter &csv, qint64 &parts) {
    std::string &out = csv.out();
    out += PartHeader;
    out += ValueHeader;
    out += "\r\n";
    qint64 lastPart = 0;
    while (rows.step()) {
        const qint64 partId = rows.int64(PartId);
        parts += partId != lastPart;
        lastPart = partId;
        appendPartFields(out, rows);
        if (rows.isNull(Channel)) {
            out += ",,,,,,,,,";
        } else {
            const int decimals = static_cast<int>(rows.int64(Decimals));
            out += ',';
            appendInteger(out, rows.int64(Channel));
            out += ',';
            appendField(out, rows.utf8(Description));
            out += ',';
            appendShownDecimal(out, rows.real(Value), decimals);
            for (int column : {Nominal, LowTolerance, HighTolerance, LowApproach, HighApproach}) {
                out += ',';
                appendOptionalNumber(out, rows, column, decimals);
            }
            out += ',';
            appendVerdict(out, rows.int64(ValueVerdict));
        }
        if (!csv.rowDone(partId)) {
            rows.reset();
            return false;
        }
    }
    return true;
}

// One row per part: its fields, then each channel column's value, empty where the part has none.
bool writeWide(SqliteStatement &rows, const WideColumns &columns, CsvWriter &csv, qint64 &parts) {
    std::string &out = csv.out();
    out += PartHeader;
    out += columns.header;
    out += "\r\n";
    std::vector<std::optional<std::pair<double, int>>> values(columns.channels.size());
    qint64 lastPart = 0;
    auto endPart = [&] {
        for (auto &value : values) {
            out += ',';
            if (value)
                appendShownDecimal(out, value->first, value->second);
            value.reset();
        }
        return csv.rowDone(lastPart);
    };
    while (rows.step()) {
        const qint64 partId = rows.int64(PartId);
        if (partId != lastPart) {
            if (lastPart != 0 && !endPart()) {
                rows.reset();
                return false;
            }
            ++parts;
            lastPart = partId;
            appendPartFields(out, rows);
        }
        if (rows.isNull(Channel))
            continue;
        const auto column = columns.columnOf.find(static_cast<int>(rows.int64(Channel)));
        if (column != columns.columnOf.end())
            values[column->second] = {{rows.real(Value), static_cast<int>(rows.int64(Decimals))}};
    }
    return lastPart == 0 || endPart();
}

} // namespace

ExportResult exportCsv(const QString &logPath, const QString &csvPath, const ExportRequest &request,
                       const ExportControl &control) {
    if (!QFileInfo::exists(logPath))
        return {ExportOutcome::Failed, 0,
                QStringLiteral("There is no measurement log at %1.").arg(shown(logPath))};
    // Saving over the log (or its write-ahead files) would replace every part with the export.
    const QString log = QFileInfo(logPath).canonicalFilePath();
    const QString target = QFileInfo(csvPath).canonicalFilePath();
    for (const char *suffix : {"", "-wal", "-shm"}) {
        if (!target.isEmpty() && target == log + QLatin1String(suffix))
            return {ExportOutcome::Failed, 0,
                    QStringLiteral("The export file %1 is the measurement log itself: choose "
                                   "another file.")
                        .arg(shown(csvPath))};
    }
    qint64 parts = 0;
    try {
        SqliteDatabase db = openForReading(logPath);
        // One snapshot for the whole export, however long it takes, while parts go on being
        // recorded.
        db.exec("BEGIN");
        // Progress is the share of the ids to go through, those of the time range if there is
        // one.
        const std::optional<IdRange> times = idsInTimeRange(db, request.filter);
        SqliteStatement range = db.prepare("SELECT min(id), max(id) FROM parts");
        range.step();
        const IdRange ids = times.value_or(IdRange{range.int64(0), range.int64(1)});
        range.reset();
        CsvWriter csv(csvPath, control, ids.first, ids.last);
        if (QString failure = csv.open(); !failure.isEmpty())
            return {ExportOutcome::Failed, 0, failure};
        const FilterSql where = filterSql(request.filter, times);
        SqliteStatement rows = db.prepare(exportQuery(where));
        where.bind(rows, 1);
        bool complete = false;
        if (request.form == ExportForm::Long) {
            complete = writeLong(rows, csv, parts);
        } else {
            const WideColumns columns = wideColumns(db, request.filter.setupFile);
            complete = writeWide(rows, columns, csv, parts);
        }
        if (!complete && !csv.cancelled())
            return csv.writeFailure();
        return csv.finish(parts);
    } catch (const SqliteError &error) {
        return {ExportOutcome::Failed, 0,
                QStringLiteral("The measurement log %1 could not be read (%2).")
                    .arg(shown(logPath), error.message)};
    }
}

} // namespace measurelog
