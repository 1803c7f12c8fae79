#include "GroupMasteringPress.h"

#include "MasteringTexts.h"

namespace procedures {

namespace {

GroupRowOutcome fault(RowFault kind, std::optional<double> measurement = std::nullopt) {
    GroupRowOutcome outcome;
    outcome.concerned = true;
    outcome.fault = kind;
    outcome.measurement = measurement;
    return outcome;
}

} // namespace

QString GroupRowOutcome::cellText() const {
    switch (fault) {
    case RowFault::NoFormula:
        return QStringLiteral("No formula");
    case RowFault::NoSuchChannel:
        return QStringLiteral("No channel");
    case RowFault::ReadFailed:
        return QStringLiteral("Read failed");
    case RowFault::WriteFailed:
        return QStringLiteral("Write failed");
    default:
        return {};
    }
}

QString GroupRowOutcome::reason(int channel) const {
    const QString prefix = QStringLiteral("Channel %1 was not changed: ").arg(channel);
    switch (fault) {
    case RowFault::None:
        return {};
    case RowFault::NoFormula:
        return prefix + QStringLiteral("it has no formula.");
    case RowFault::NoSuchChannel:
        return prefix + QStringLiteral("there is no such channel.");
    case RowFault::ReadFailed:
        return prefix + QStringLiteral("it could not be read.");
    case RowFault::NoFirstMeasurement:
        return prefix + QStringLiteral("master 1 was not measured.");
    case RowFault::Refused:
        return QStringLiteral("Channel %1: ").arg(channel) + refusalText(refusal);
    case RowFault::WriteFailed:
        return QStringLiteral("Channel %1: the new constants could not all be written.")
            .arg(channel);
    }
    return {};
}

std::optional<GroupRowOutcome> skippedRow(bool exists, bool hasFormula) {
    if (!exists)
        return fault(RowFault::NoSuchChannel);
    if (!hasFormula)
        return fault(RowFault::NoFormula);
    return std::nullopt;
}

GroupRowOutcome firstPressRow(const GroupRowReads &reads, MasteringMode mode) {
    if (!reads.hasFormula)
        return fault(RowFault::NoFormula);
    if (!reads.reading)
        return fault(RowFault::ReadFailed);
    GroupRowOutcome outcome;
    outcome.concerned = true;
    outcome.measurement = reads.reading;
    if (mode.takesSecondMaster(reads.usesTwoMasters))
        return outcome;
    if (!reads.zeroOffset || !reads.master1)
        return fault(RowFault::ReadFailed, reads.reading);
    const MasteringResult result = zeroChannel(
        {*reads.reading, *reads.zeroOffset, 1.0, *reads.master1}, Intermediates::GroupSingles);
    if (!result.succeeded()) {
        GroupRowOutcome refused = fault(RowFault::Refused, reads.reading);
        refused.refusal = result.refusal;
        return refused;
    }
    outcome.newZero = result.zeroOffset;
    return outcome;
}

GroupRowOutcome secondPressRow(const GroupRowReads &reads, std::optional<double> measurement1,
                               MasteringMode mode) {
    if (!mode.takesSecondMaster(reads.usesTwoMasters))
        return {};
    if (!reads.hasFormula)
        return fault(RowFault::NoFormula);
    if (!reads.reading)
        return fault(RowFault::ReadFailed);
    if (!measurement1)
        return fault(RowFault::NoFirstMeasurement, reads.reading);
    if (!reads.zeroOffset || !reads.scaling || !reads.master1 || !reads.master2)
        return fault(RowFault::ReadFailed, reads.reading);
    const MasteringResult result = masterChannel({*measurement1, *reads.reading, *reads.zeroOffset,
                                                  *reads.scaling, *reads.master1, *reads.master2},
                                                 Intermediates::GroupSingles);
    if (!result.succeeded()) {
        GroupRowOutcome refused = fault(RowFault::Refused, reads.reading);
        refused.refusal = result.refusal;
        return refused;
    }
    GroupRowOutcome outcome;
    outcome.concerned = true;
    outcome.measurement = reads.reading;
    outcome.newZero = result.zeroOffset;
    outcome.newScaling = result.scaling;
    return outcome;
}

GroupPressEnd endOfPress(int step, bool secondPressNeeded, bool roundFailed,
                         bool failureFlagBefore) {
    GroupPressEnd end;
    if (step == 1 && secondPressNeeded) {
        end.instruction = failureFlagBefore ? QString(texts::InsertMaster2AndPressAgain)
                                            : QString(texts::InsertMaster2AndPress);
        end.nextStep = 2;
        // A row that failed already in this first press fails the round at its end.
        end.failureFlag = false;
        return end;
    }
    end.nextStep = 1;
    if (roundFailed) {
        end.instruction = texts::InsertMaster1AndPressAgain;
        end.masteringError = texts::RemasterGroup;
        end.masterAgainCaption = true;
        end.failureFlag = true;
        return end;
    }
    end.instruction = secondPressNeeded ? QString(texts::GroupMasteringCompleted)
                                        : QString(texts::ZeroMasterCompleted);
    end.buttonEnabled = false;
    return end;
}

} // namespace procedures
