#include "RunOrder.h"

#include "GaugeRrData.h"

#include <numeric>
#include <random>
#include <utility>

namespace studies {

namespace {

// A uniform draw from [0, bound): the generator's values below 2^64 mod bound are passed over, so
// every result is equally likely.
std::uint64_t drawBelow(std::mt19937_64 &engine, std::uint64_t bound) {
    const std::uint64_t passedOver = (0 - bound) % bound;
    std::uint64_t value = engine();
    while (value < passedOver)
        value = engine();
    return value % bound;
}

std::vector<int> shuffledParts(std::mt19937_64 &engine, int parts) {
    std::vector<int> order(slot(parts));
    std::iota(order.begin(), order.end(), 0);
    for (int last = parts - 1; last > 0; --last)
        std::swap(order[slot(last)],
                  order[drawBelow(engine, static_cast<std::uint64_t>(last) + 1)]);
    return order;
}

} // namespace

std::vector<StudyStep> runOrder(const StudyLayout &layout, std::uint64_t seed) {
    std::mt19937_64 engine(seed);
    std::vector<StudyStep> order;
    for (int trial = 0; trial < layout.trials; ++trial)
        for (int appraiser = 0; appraiser < layout.appraisers; ++appraiser)
            for (int part : shuffledParts(engine, layout.parts))
                order.push_back({appraiser, part, trial});
    return order;
}

QStringList defaultAppraiserNames(int count) {
    QStringList names;
    for (int appraiser = 0; appraiser < count; ++appraiser)
        names << appraiserLabel(appraiser);
    return names;
}

QString stepPrompt(const StudyStep &step, const QStringList &appraiserNames) {
    const QString name = step.appraiser < appraiserNames.size() ? appraiserNames.at(step.appraiser)
                                                                : appraiserLabel(step.appraiser);
    return QStringLiteral("Appraiser %1 — part %2, trial %3")
        .arg(name)
        .arg(step.part + 1)
        .arg(step.trial + 1);
}

QString referencePrompt(int reading, int count) {
    return QStringLiteral("Place the reference part (%1 of %2)").arg(reading + 1).arg(count);
}

} // namespace studies
