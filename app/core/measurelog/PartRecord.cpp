#include "PartRecord.h"

#include <algorithm>

namespace measurelog {

std::string_view verdictWord(Verdict verdict) {
    switch (verdict) {
    case Verdict::Good:
        return "good";
    case Verdict::Warn:
        return "warn";
    case Verdict::Reject:
        return "reject";
    case Verdict::NoLimits:
        break;
    }
    return "no limits";
}

QString verdictName(Verdict verdict) {
    const std::string_view word = verdictWord(verdict);
    return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

std::optional<Verdict> verdictFromCode(qint64 code) {
    for (Verdict verdict : AllVerdicts) {
        if (static_cast<qint64>(verdict) == code)
            return verdict;
    }
    return std::nullopt;
}

Verdict worstVerdict(const std::vector<ValueRecord> &values) {
    Verdict worst = Verdict::NoLimits;
    for (const ValueRecord &value : values)
        worst = std::max(worst, value.verdict);
    return worst;
}

} // namespace measurelog
