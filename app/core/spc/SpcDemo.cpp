#include "SpcDemo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace spc {

namespace {

constexpr qint64 PartIntervalMs = 30'000;

struct DemoChannel {
    const char *description;
    int decimals;
    double nominal;
    std::optional<double> lower; // tolerance as offsets from the nominal
    std::optional<double> upper;
    double sigma;
    double drift;       // the mean's rise over the second half of the run
    double outlier;     // added to a few readings; 0 for none
    double tightenedTo; // half the tolerance from 60 % of the run on; 0 to keep it
    bool halfNormal;    // a form error: the size of a reading around 0, never below
    bool showsNominal;
};

constexpr std::array<DemoChannel, DemoChannelCount> Channels{{
    {"Bore diameter", 4, 25.0, -0.010, 0.010, 0.0018, 0.0025, 0.008, 0.0, false, true},
    {"Shaft diameter", 4, 12.0, -0.008, 0.008, 0.0012, 0.0, 0.0, 0.0, false, true},
    {"Flange height", 3, 40.0, -0.050, 0.050, 0.008, 0.0, 0.0, 0.040, false, true},
    {"Runout (TIR)", 4, 0.0, std::nullopt, 0.020, 0.005, 0.0, 0.0, 0.0, true, false},
    {"Coolant temperature", 2, 20.0, std::nullopt, std::nullopt, 0.3, 0.8, 0.0, 0.0, false, false},
}};

PartLimits limitsOf(const DemoChannel &channel, bool tightened) {
    PartLimits limits;
    const auto at = [&](std::optional<double> offset, double sign) -> std::optional<double> {
        if (!offset)
            return std::nullopt;
        return channel.nominal + (tightened ? sign * channel.tightenedTo : *offset);
    };
    limits.tolerance = {at(channel.lower, -1.0), at(channel.upper, 1.0)};
    if (channel.showsNominal)
        limits.nominal = channel.nominal;
    return limits;
}

} // namespace

void addDemoRun(MemorySpcSource &source, std::size_t parts, qint64 firstTimeMs, int channels) {
    const int count = std::clamp(channels, 0, DemoChannelCount);
    for (int c = 0; c < count; ++c) {
        const DemoChannel &demo = Channels[static_cast<std::size_t>(c)];
        const int number = c + 1;
        source.addChannel({number, QString::fromUtf8(demo.description), demo.decimals});
        std::mt19937 random(static_cast<unsigned>(1000 + number));
        std::normal_distribution<double> noise(0.0, demo.sigma);
        const double half = static_cast<double>(parts) / 2.0;
        for (std::size_t i = 0; i < parts; ++i) {
            const double at = static_cast<double>(i);
            const double drift = at > half ? demo.drift * (at - half) / half : 0.0;
            double value =
                demo.halfNormal ? std::fabs(noise(random)) : demo.nominal + noise(random);
            value += drift;
            // A handful of far readings, spread over the run.
            if (demo.outlier != 0.0 && i % 211 == 97 && i < parts / 2)
                value += demo.outlier;
            const bool tightened = demo.tightenedTo > 0.0 && at >= 0.6 * static_cast<double>(parts);
            source.addPart(number, value, firstTimeMs + static_cast<qint64>(i) * PartIntervalMs,
                           limitsOf(demo, tightened));
        }
    }
}

} // namespace spc
