#pragma once

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

// One measured part as the measurement log keeps it: who, when, with which setup, and every
// channel's reading with the limits that held at that moment, so a record still says what it
// meant after the setup has changed.
namespace measurelog {

// The verdict of a reading against its channel's limits. The order is the order of severity, so
// the worst of several is the largest; the numbers are what the log stores.
enum class Verdict : int { NoLimits = 0, Good = 1, Warn = 2, Reject = 3 };
inline constexpr Verdict AllVerdicts[] = {Verdict::NoLimits, Verdict::Good, Verdict::Warn,
                                          Verdict::Reject};

// "good", "warn", "reject", "no limits": the words of exports and messages.
std::string_view verdictWord(Verdict verdict);
QString verdictName(Verdict verdict);
// The verdict a stored number stands for; empty for a number no verdict has.
std::optional<Verdict> verdictFromCode(qint64 code);

struct ValueRecord {
    int channel = 0;
    QString description;
    double value = 0.0;
    int decimals = 0; // as the channel shows its value
    std::optional<double> nominal;
    std::optional<double> lowTolerance;
    std::optional<double> highTolerance;
    std::optional<double> lowApproach;
    std::optional<double> highApproach;
    Verdict verdict = Verdict::NoLimits; // decided by the gauges' zones

    bool operator==(const ValueRecord &) const = default;
};

// The part's verdict: the worst of its channels'. A channel without limits does not change it,
// so a part whose channels have no limits at all is "no limits".
Verdict worstVerdict(const std::vector<ValueRecord> &values);

struct PartRecord {
    qint64 id = 0;     // the log's number for the part; 0 until it is stored
    QString uuid;      // given when the part is submitted, if the caller left it empty
    qint64 timeMs = 0; // UTC, milliseconds since 1970; the submit time if left 0
    QString station;
    QString operatorName;
    qint64 serialNumber = 0; // assigned by the writer from the log's own counter
    QString serialText;      // the serial or lot the operator typed, if any
    QString setupFile;       // empty when no setup file was loaded
    QString setupHash;
    QString viewName;                    // the view or group the channels came from
    Verdict verdict = Verdict::NoLimits; // set from the values when the part is submitted
    std::vector<ValueRecord> values;
    std::optional<qint64> sentMs; // when the plant's broker took the part; empty until then

    bool operator==(const PartRecord &) const = default;
};

// The part counter: parts and their verdicts since the last reset.
struct Counters {
    qint64 parts = 0;
    qint64 good = 0;
    qint64 warn = 0;
    qint64 reject = 0;
    qint64 resetMs = 0; // when it was last reset; 0 if never

    bool operator==(const Counters &) const = default;
};

// A set of verdicts for filters; an empty set lets every verdict through.
class VerdictSet {
public:
    VerdictSet() = default;
    VerdictSet(std::initializer_list<Verdict> verdicts) {
        for (Verdict verdict : verdicts)
            insert(verdict);
    }
    void insert(Verdict verdict) { m_bits |= bit(verdict); }
    bool contains(Verdict verdict) const { return (m_bits & bit(verdict)) != 0; }
    bool isEmpty() const { return m_bits == 0; }

    bool operator==(const VerdictSet &) const = default;

private:
    static unsigned bit(Verdict verdict) { return 1u << static_cast<int>(verdict); }
    unsigned m_bits = 0;
};

} // namespace measurelog
