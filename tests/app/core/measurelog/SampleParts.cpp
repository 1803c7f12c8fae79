#include "SampleParts.h"

#include <cmath>

namespace measurelog {

Verdict zoneVerdict(const ValueRecord &value) {
    if (!value.lowTolerance || !value.highTolerance)
        return Verdict::NoLimits;
    if (value.value < *value.lowTolerance || value.value > *value.highTolerance)
        return Verdict::Reject;
    if (value.value < *value.lowApproach || value.value > *value.highApproach)
        return Verdict::Warn;
    return Verdict::Good;
}

PartRecord samplePart(int seed, int channels, const QString &setup, bool fixed) {
    PartRecord part;
    if (fixed) {
        part.uuid =
            QStringLiteral("00000000-0000-4000-8000-%1").arg(seed, 12, 10, QLatin1Char('0'));
        part.timeMs = 1796669672123 + qint64{seed} * 61001; // 2026-12-07T18:54:32.123Z on
    }
    part.station = QStringLiteral("Station 1");
    part.operatorName = seed % 2 ? QStringLiteral("Ana") : QStringLiteral("Jörg \"JJ\" Müller");
    part.serialText = QStringLiteral("LOT-%1").arg(seed / 10);
    part.setupFile = setup;
    part.setupHash = QStringLiteral("5e7a9c");
    part.viewName = QStringLiteral("Display Channels");
    for (int i = 0; i < channels; ++i) {
        ValueRecord value;
        value.channel = i + 1;
        value.description =
            i % 7 == 3 ? QStringLiteral("Bore Ø, top") : QStringLiteral("Ch %1").arg(i + 1);
        value.decimals = 3 + i % 2;
        // Mostly inside the approach limits; about one reading in 16 between approach and
        // tolerance, one in 30 past the tolerance.
        const unsigned draw =
            (static_cast<unsigned>(seed) * 2654435761u + static_cast<unsigned>(i) * 40503u) >> 7;
        const double side = draw & 1 ? 1.0 : -1.0;
        const double offset = draw % 480 < 16   ? side * 0.012
                              : draw % 480 < 46 ? side * 0.009
                                                : 0.007 * std::sin(seed * 0.7 + i * 1.3);
        if (i % 5 == 4) {
            value.value = 2.5 + offset;
        } else {
            const double nominal = 10.0 + i;
            value.nominal = nominal;
            value.lowTolerance = nominal - 0.010;
            value.highTolerance = nominal + 0.010;
            value.lowApproach = nominal - 0.008;
            value.highApproach = nominal + 0.008;
            value.value = nominal + offset;
        }
        value.verdict = zoneVerdict(value);
        part.values.push_back(value);
    }
    part.verdict = worstVerdict(part.values);
    return part;
}

} // namespace measurelog
