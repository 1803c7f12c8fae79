#pragma once

#include <QString>

// What the statistics say in words where they cannot give a figure, and the names of the rules
// and bin rules, for the window, its report and the command line alike.
namespace spc::texts {

inline QString noTolerance() {
    return QStringLiteral("no tolerance");
}
inline QString invalidTolerance() {
    return QStringLiteral("The tolerance cannot be used: its lower limit must be a number below "
                          "its upper limit.");
}
inline QString tooFewParts() {
    return QStringLiteral("Capability needs at least 2 parts.");
}
inline QString zeroSpreadCapability() {
    return QStringLiteral("All readings are equal (σ = 0): no capability figures.");
}
inline QString noCompleteSubgroup() {
    return QStringLiteral("No complete subgroup yet: no σ within, so no Cp or Cpk.");
}
inline QString zeroSigmaWithin() {
    return QStringLiteral("The readings within every subgroup are equal (σ within = 0): no Cp "
                          "or Cpk.");
}

inline QString limitsAfter(int subgroups) {
    return QStringLiteral("limits after %1 subgroups").arg(subgroups);
}
inline QString limitsNeedInRange(int required, int available) {
    return QStringLiteral("limits need %1 complete subgroups in the chosen parts, which hold %2")
        .arg(required)
        .arg(available);
}

inline QString zeroSigmaRules() {
    return QStringLiteral("All readings of the baseline are equal (σ = 0): no rule checks.");
}
inline QString unusableLimits() {
    return QStringLiteral("The control limits are not usable numbers: no rule checks.");
}

} // namespace spc::texts
