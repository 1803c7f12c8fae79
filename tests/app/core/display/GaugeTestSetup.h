#pragma once

#include "DisplayContent.h"
#include "DisplayRules.h"

#include <QString>

// A channel gauge on a scale of -0.01 to 0.01 with symmetric tolerance and approach limits.
inline GaugeSetup channelGaugeSetup(const QString &label, double tolerance, double approach) {
    GaugeSetup s;
    s.fullLabel = label;
    s.label = shortenGaugeLabel(label);
    s.top = 0.01;
    s.bottom = -0.01;
    s.decimals = 4;
    s.hasLimits = true;
    s.loTol = -tolerance;
    s.loAppr = -approach;
    s.hiAppr = approach;
    s.hiTol = tolerance;
    return s;
}
