#include "presets.h"

#include <algorithm>
#include <iterator>

namespace qorsim {

namespace {

// A turned part measured in millimetres: each probe sees the part's deviation (within
// +-0.002 mm) around the nominal size that the channel's zero offset adds. The masters are the
// master parts' sizes (deviations -0.010 and +0.010 by default), so mastering works at once.
struct DemoChannel {
    const char *description;
    const char *formula;
    double nominal; // czero
    double scale;   // cscale
    double master1;
    double master2;   // 0: a one-master channel
    double tolerance; // +- around nominal (or 0..tolerance for one-sided channels)
    double barHalfSpan;
    bool oneSided; // the value runs from 0 upwards (form errors)
};

constexpr DemoChannel kDemo[] = {
    {"Bore diameter", "P1", 25.0, 1.0, 24.990, 25.010, 0.003, 0.005, false},
    {"Shaft diameter", "P2", 12.0, 1.0, 11.990, 0.0, 0.003, 0.005, false},
    {"Mean height", "AVG(P3:P4)", 40.0, 1.0, 39.990, 40.010, 0.002, 0.004, false},
    {"Taper", "P5-P6", 0.0, 1.0, 0.0, 0.0, 0.003, 0.005, false},
    {"Highest point", "GOR(P5:P8)", 0.0, 1.0, -0.010, 0.0, 0.0025, 0.004, false},
    {"Flatness", "GOR(P5:P8)-LOR(P5:P8)", 0.0, 1.0, 0.0, 0.0, 0.004, 0.005, true},
    {"Runout (TIR)", "TIR(P7)", 0.0, 1.0, 0.0, 0.0, 0.005, 0.006, true},
    {"Coolant temperature", "A1", 20.0, 10.0, 20.0, 0.0, 4.0, 8.0, false},
};

void fillDemoChannel(const DemoChannel &d, ChannelConfig &c) {
    c.formula = d.formula;
    c.description = d.description;
    c.czero = d.nominal;
    c.cscale = d.scale;
    c.useTwoMasters = d.master2 != 0.0 ? 1 : 0;
    c.master1 = d.master1;
    c.master2 = d.master2;
    if (d.oneSided) {
        c.barBottom = 0.0;
        c.barTop = d.barHalfSpan;
        c.loTolerance = 0.0;
        c.loApproach = 0.0;
        c.hiTolerance = d.tolerance;
        c.hiApproach = d.tolerance * 0.8;
        return;
    }
    c.barBottom = d.nominal - d.barHalfSpan;
    c.barTop = d.nominal + d.barHalfSpan;
    c.hiTolerance = d.nominal + d.tolerance;
    c.loTolerance = d.nominal - d.tolerance;
    c.hiApproach = d.nominal + d.tolerance * 0.7;
    c.loApproach = d.nominal - d.tolerance * 0.7;
}

} // namespace

void applyPreset(const std::string &name, Setup &setup) {
    if (name != "demo")
        return;
    std::size_t count = std::min(std::size(kDemo), setup.channels.size());
    for (std::size_t i = 0; i < count; ++i)
        fillDemoChannel(kDemo[i], setup.channels[i]);
    setup.settings.channelCount = static_cast<int>(count);
}

} // namespace qorsim
