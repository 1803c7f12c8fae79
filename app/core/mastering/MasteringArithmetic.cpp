#include "MasteringArithmetic.h"

#include "MasteringTexts.h"

#include <cmath>
#include <limits>

namespace procedures {

namespace {

bool allFinite(std::initializer_list<double> values) {
    for (const double value : values) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

// The unit keeps zero offset and scaling as singles: a result beyond their range would be
// written as an infinity.
bool fitsSingle(double value) {
    return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

// The value held in a single; beyond the single range it becomes an infinity, which the checks
// after it refuse (the conversion itself would be undefined).
double single(double value) {
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return std::copysign(std::numeric_limits<double>::infinity(), value);
    return static_cast<double>(static_cast<float>(value));
}

MasteringResult refused(MasteringRefusal refusal, double zeroOffset, double scaling) {
    return {refusal, zeroOffset, scaling};
}

} // namespace

MasteringResult zeroChannel(const ZeroInput &input, Intermediates intermediates) {
    const double z = input.zeroOffset;
    const double s = input.scaling;
    if (!allFinite({input.reading, z, s, input.master1}))
        return refused(MasteringRefusal::NotANumber, z, s);
    double zero = input.master1 - (input.reading - z);
    if (intermediates == Intermediates::GroupSingles)
        zero = single(zero);
    if (!fitsSingle(zero))
        return refused(MasteringRefusal::OutOfRange, z, s);
    return {MasteringRefusal::None, zero, s};
}

MasteringResult masterChannel(const TwoMasterInput &input, Intermediates intermediates) {
    const double z = input.zeroOffset;
    const double s = input.scaling;
    const double m1 = input.master1;
    const double m2 = input.master2;
    if (!allFinite({input.reading1, input.reading2, z, s, m1, m2}))
        return refused(MasteringRefusal::NotANumber, z, s);
    if (std::fabs(input.reading1 - input.reading2) < MinimumMasterSpread)
        return refused(MasteringRefusal::SpreadTooSmall, z, s);
    if (s == 0.0)
        return refused(MasteringRefusal::ZeroScaling, z, s);

    const bool singles = intermediates == Intermediates::GroupSingles;
    const auto held = [singles](double value) {
        return singles ? single(value) : value;
    };
    const double u1 = held((input.reading1 - z) / s);
    const double u2 = held((input.reading2 - z) / s);
    const double unscaledSpread = u1 - u2;
    if (!std::isfinite(unscaledSpread))
        return refused(MasteringRefusal::OutOfRange, z, s);
    if (unscaledSpread == 0.0)
        return refused(MasteringRefusal::EqualUnscaled, z, s);
    const double newScaling = held(held(m1 - m2) / unscaledSpread);
    const double newZero = held(m2 * u1 - m1 * u2) / unscaledSpread;
    if (!fitsSingle(newScaling) || !fitsSingle(newZero))
        return refused(MasteringRefusal::OutOfRange, z, s);
    return {MasteringRefusal::None, newZero, newScaling};
}

QString refusalText(MasteringRefusal refusal) {
    switch (refusal) {
    case MasteringRefusal::None:
        return {};
    case MasteringRefusal::NotANumber:
        return QStringLiteral("Mastering unsuccessful: a reading or a constant of the channel is "
                              "not a number. The channel was not changed.");
    case MasteringRefusal::SpreadTooSmall:
        return texts::MasteringUnsuccessful;
    case MasteringRefusal::ZeroScaling:
        return QStringLiteral("Mastering unsuccessful: the channel's scaling is 0, so its readings "
                              "cannot be taken back to the unscaled value. Set a scaling first. "
                              "The channel was not changed.");
    case MasteringRefusal::EqualUnscaled:
        return QStringLiteral("Mastering unsuccessful: both readings give the same unscaled value. "
                              "The channel was not changed.");
    case MasteringRefusal::OutOfRange:
        return QStringLiteral("Mastering unsuccessful: the new zero or scaling would be too large "
                              "for the unit. The channel was not changed.");
    }
    return {};
}

} // namespace procedures
