#pragma once

#include "LogFilter.h"
#include "LogReader.h"
#include "PartRecord.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <vector>

// What the log window shows, apart from its widgets: the columns (the part's own fields, then
// one per channel of the setup whose channels are shown), each cell's text and verdict, the
// detail of one part, and the verdict filter's choices.
namespace recording {

enum class PartField { Time, Serial, SerialText, Setup, Operator, Verdict };

struct LogColumn {
    std::optional<PartField> field; // empty: a channel's column
    int channel = 0;
    QString title;
};

class LogColumns {
public:
    // The part's fields alone.
    LogColumns();
    // With a column for each channel recorded with `setupFile` (by channel number). Values fill
    // them only for parts of that setup: another setup's channel 3 measures something else.
    LogColumns(QString setupFile, const std::vector<measurelog::ChannelSeen> &channels);

    int count() const { return static_cast<int>(m_columns.size()); }
    const LogColumn &at(int column) const { return m_columns[static_cast<size_t>(column)]; }
    const std::optional<QString> &channelsSetup() const { return m_setup; }

    // The cell's text: times in the station's local time, values with their channel's decimals.
    QString text(const measurelog::PartRecord &part, int column) const;
    // The verdict a cell is coloured by: the part's in the verdict column, the value's in a
    // channel's; none elsewhere or where the part has no value.
    std::optional<measurelog::Verdict> verdict(const measurelog::PartRecord &part,
                                               int column) const;

private:
    const measurelog::ValueRecord *valueOf(const measurelog::PartRecord &part, int column) const;

    std::optional<QString> m_setup;
    std::vector<LogColumn> m_columns;
};

// How a setup file name is shown ("" is "(no setup file)").
QString setupFileLabel(const QString &setupFile);
// A time as the log window shows it, in the station's local time: "2026-12-07 18:54:32".
QString localTimeText(qint64 ms);
// A number with `decimals` digits, rounded as the gauges show it; "" for none.
QString shownNumber(std::optional<double> value, int decimals);

// One line of a part's detail: a value with the limits that held when it was recorded.
inline constexpr int DetailColumnCount = 9;
QStringList detailHeader();
QStringList detailRow(const measurelog::ValueRecord &value);

// The verdict filter's choices, "All verdicts" first.
struct VerdictChoice {
    QString label;
    measurelog::VerdictSet verdicts;
};
std::span<const VerdictChoice> verdictChoices();

} // namespace recording
