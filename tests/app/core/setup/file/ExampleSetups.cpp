#include "ExampleSetups.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

using namespace setupfile;

namespace {

// A channel measured around a nominal size: masters, tolerance and approach limits (at 70% of the
// tolerance) and a bar scale around the nominal, or from 0 up for a form error (one-sided).
struct Measure {
    const char *description;
    const char *formula;
    int16_t decimals;
    const char *units;
    double nominal;
    double scale;
    double master1;
    double master2; // 0: one master
    double tolerance;
    double barHalfSpan;
    bool oneSided;
};

ChannelRecord channelFor(int16_t index, const Measure &m) {
    ChannelRecord c;
    c.index = index;
    c.description = QString::fromUtf8(m.description);
    c.formula = QString::fromLatin1(m.formula);
    c.decimals = m.decimals;
    c.units = QString::fromUtf8(m.units);
    c.master1 = static_cast<float>(m.master1);
    c.master2 = static_cast<float>(m.master2);
    c.useTwoMasters = m.master2 != 0.0;
    c.scaling = static_cast<float>(m.scale);
    c.zeroOffset = static_cast<float>(m.nominal);
    if (m.oneSided) {
        c.barDisplayBot = 0.0f;
        c.barDisplayTop = static_cast<float>(m.barHalfSpan);
        c.hiTol = static_cast<float>(m.tolerance);
        c.hiAppr = static_cast<float>(m.tolerance * 0.8);
        return c;
    }
    c.barDisplayBot = static_cast<float>(m.nominal - m.barHalfSpan);
    c.barDisplayTop = static_cast<float>(m.nominal + m.barHalfSpan);
    c.hiTol = static_cast<float>(m.nominal + m.tolerance);
    c.loTol = static_cast<float>(m.nominal - m.tolerance);
    c.hiAppr = static_cast<float>(m.nominal + m.tolerance * 0.7);
    c.loAppr = static_cast<float>(m.nominal - m.tolerance * 0.7);
    return c;
}

// Default names as the station gives them: "Lvdt 3", "Analog  1", "Group  2".
QString defaultName(const char *word, int n) {
    return QString::fromLatin1(word) + QStringLiteral(" ") + QString::number(n);
}

void addInputs(SetupDocument &setup) {
    for (int16_t n = 1; n <= setup.station.probeCount; ++n)
        setup.probes.push_back({n, defaultName("Lvdt", n), 0.05f, 0.0f});
    for (int16_t n = 1; n <= setup.station.analogCount; ++n)
        setup.analogs.push_back({n, defaultName("Analog ", n), 1.0f, 0.0f});
}

GroupRecord groupOf(int16_t index, const char *name, std::vector<int16_t> channels) {
    GroupRecord group;
    group.index = index;
    group.description = QString::fromUtf8(name);
    group.channels = std::move(channels);
    return group;
}

} // namespace

// The simulator's demo part in millimetres, as its "demo" preset programs the unit.
SetupDocument demoSetup() {
    static const Measure measures[] = {
        {"Bore diameter", "P1", 4, "mm", 25.0, 1.0, 24.990, 25.010, 0.003, 0.005, false},
        {"Shaft diameter", "P2", 4, "mm", 12.0, 1.0, 11.990, 0.0, 0.003, 0.005, false},
        {"Mean height", "AVG(P3:P4)", 4, "mm", 40.0, 1.0, 39.990, 40.010, 0.002, 0.004, false},
        {"Taper", "P5-P6", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.003, 0.005, false},
        {"Highest point", "GOR(P5:P8)", 4, "mm", 0.0, 1.0, -0.010, 0.0, 0.0025, 0.004, false},
        {"Flatness", "GOR(P5:P8)-LOR(P5:P8)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.004, 0.005, true},
        {"Runout (TIR)", "TIR(P7)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.005, 0.006, true},
        {"Coolant temperature", "A1", 1, "°C", 20.0, 10.0, 20.0, 0.0, 4.0, 8.0, false},
    };
    SetupDocument setup;
    setup.station = {.channelCount = 8,
                     .probeCount = 8,
                     .analogCount = 1,
                     .digitalCount = 0,
                     .decimals = 5,
                     .windowLayout = {}};
    int16_t index = 1;
    for (const Measure &measure : measures)
        setup.channels.push_back(channelFor(index++, measure));
    addInputs(setup);
    setup.groups.push_back(groupOf(1, "Diameters", {1, 2}));
    setup.groups.push_back(groupOf(2, "Form", {4, 5, 6, 7}));
    return setup;
}

// A shaft gauged at four sections A to D by eight probes, two opposed probes per section.
SetupDocument thirtyTwoChannelSetup() {
    static const Measure measures[] = {
        {"Ø section A", "P1+P2", 4, "mm", 20.0, 1.0, 19.99, 20.01, 0.005, 0.008, false},
        {"Ø section B", "P3+P4", 4, "mm", 25.0, 1.0, 24.99, 25.01, 0.005, 0.008, false},
        {"Ø section C", "P5+P6", 4, "mm", 30.0, 1.0, 29.99, 30.01, 0.005, 0.008, false},
        {"Ø section D", "P7+P8", 4, "mm", 35.0, 1.0, 34.99, 35.01, 0.005, 0.008, false},
        {"Ovality A", "ABS(P1-P2)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.003, 0.004, true},
        {"Ovality B", "ABS(P3-P4)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.003, 0.004, true},
        {"Ovality C", "ABS(P5-P6)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.003, 0.004, true},
        {"Ovality D", "ABS(P7-P8)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.003, 0.004, true},
        {"Centre offset A", "AVG(P1:P2)", 5, "mm", 0.0, 1.0, 0.0, 0.0, 0.002, 0.003, false},
        {"Centre offset B", "AVG(P3:P4)", 5, "mm", 0.0, 1.0, 0.0, 0.0, 0.002, 0.003, false},
        {"Centre offset C", "AVG(P5:P6)", 5, "mm", 0.0, 1.0, 0.0, 0.0, 0.002, 0.003, false},
        {"Centre offset D", "AVG(P7:P8)", 5, "mm", 0.0, 1.0, 0.0, 0.0, 0.002, 0.003, false},
        {"Runout A", "TIR(P1)", 1, "µm", 0.0, 1000.0, 0.0, 0.0, 8.0, 10.0, true},
        {"Runout B", "TIR(P3)", 1, "µm", 0.0, 1000.0, 0.0, 0.0, 8.0, 10.0, true},
        {"Runout C", "TIR(P5)", 1, "µm", 0.0, 1000.0, 0.0, 0.0, 8.0, 10.0, true},
        {"Runout D", "TIR(P7)", 1, "µm", 0.0, 1000.0, 0.0, 0.0, 8.0, 10.0, true},
        {"Taper A-B", "(P1+P2)-(P3+P4)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.004, 0.006, false},
        {"Taper B-C", "(P3+P4)-(P5+P6)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.004, 0.006, false},
        {"Taper C-D", "(P5+P6)-(P7+P8)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.004, 0.006, false},
        {"Taper A-D", "(P1+P2)-(P7+P8)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.006, 0.008, false},
        {"Worst ovality", "GOR(C5:C8)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.003, 0.004, true},
        {"Worst runout", "GOR(C13:C16)", 1, "µm", 0.0, 1.0, 0.0, 0.0, 8.0, 10.0, true},
        {"Probe spread", "GOR(P1:P8)-LOR(P1:P8)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.01, 0.02, true},
        {"Mean centre offset", "AVG(C9:C12)", 5, "mm", 0.0, 1.0, 0.0, 0.0, 0.002, 0.003, false},
        {"Highest Ø A", "MAX(C1)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.005, 0.008, false},
        {"Highest Ø B", "MAX(C2)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.005, 0.008, false},
        {"Highest Ø C", "MAX(C3)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.005, 0.008, false},
        {"Highest Ø D", "MAX(C4)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.005, 0.008, false},
        {"Lowest Ø A", "MIN(C1)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.005, 0.008, false},
        {"Lowest Ø D", "MIN(C4)", 4, "mm", 0.0, 1.0, 0.0, 0.0, 0.005, 0.008, false},
        {"Coolant temperature", "A1", 1, "°C", 20.0, 10.0, 20.0, 0.0, 4.0, 8.0, false},
        {"Air pressure", "A2", 2, "bar", 6.0, 10.0, 6.0, 0.0, 0.5, 1.0, false},
    };
    SetupDocument setup;
    setup.station = {.channelCount = 32,
                     .probeCount = 8,
                     .analogCount = 2,
                     .digitalCount = 0,
                     .decimals = 4,
                     .windowLayout = {}};
    // Channel view: grid and bars side by side below the main window, in twips.
    const int16_t channelWindows[] = {3600, 0, 5400, 5400, 3600, 5520, 5400, 9000};
    std::copy(std::begin(channelWindows), std::end(channelWindows),
              setup.station.windowLayout.begin());
    int16_t index = 1;
    for (const Measure &measure : measures)
        setup.channels.push_back(channelFor(index++, measure));
    addInputs(setup);

    GroupRecord diameters = groupOf(1, "Diameters", {1, 2, 3, 4});
    diameters.windowGridTop = 3600;
    diameters.windowGridHeight = 2400;
    diameters.windowGridWidth = 5400;
    setup.groups.push_back(std::move(diameters));
    setup.groups.push_back(groupOf(2, "Form", {5, 6, 7, 8, 13, 14, 15, 16}));
    setup.groups.push_back(groupOf(3, "Centre and taper", {9, 10, 11, 12, 17, 18, 19, 20}));
    setup.groups.push_back(groupOf(4, "Summary", {21, 22, 23, 24, 31, 32}));
    return setup;
}
