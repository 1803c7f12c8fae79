#pragma once

#include "DisplayContent.h"
#include "DisplayRules.h"
#include "LinkLibrary.h"
#include "MeasurementObjects.h"
#include "Prompts.h"
#include "Settings.h"
#include "StationState.h"

#include <QString>

#include <initializer_list>
#include <memory>

// Answers every box with Ok and shows nothing.
class QuietPrompts : public Prompts {
public:
    PromptAnswer message(const QString &, PromptButtons, PromptIcon, const QString &) override {
        return PromptAnswer::Ok;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override {
        return {};
    }
    void setParentWindow(QWidget *) override {}
};

// A station whose link library is not loaded: every exchange with the unit sends nothing and
// reads 0 or an empty text, while the objects' own fields (probe, analog and group names, group
// members, the cached counts) are real. Enough for everything the displays decide themselves.
struct OfflineStation {
    OfflineStation() { state.UnitSystem = std::make_unique<QorSystem>(state); }

    void addLvdts(int count) {
        state.UnitSystem->setMaxLvdt(count);
        for (int n = 1; n <= count; ++n) {
            state.Lvdts.push_back(std::make_unique<Lvdt>(state));
            state.Lvdts.back()->SetDefaults(n);
        }
    }

    void addAnalogs(int count) {
        state.MaxAnalog = static_cast<int16_t>(count);
        for (int n = 1; n <= count; ++n) {
            state.Analogs.push_back(std::make_unique<analog>(state));
            state.Analogs.back()->SetDefaults(n);
        }
    }

    group &addGroup(const QString &description, std::initializer_list<int> channels) {
        state.Groups.push_back(std::make_unique<group>());
        group &g = *state.Groups.back();
        g.SetDefaults(static_cast<int>(state.Groups.size()));
        g.Description = description;
        for (int channel : channels)
            g.AddChannel(channel);
        return g;
    }

    LinkLibrary link;
    QuietPrompts prompts;
    SettingsStore settings;
    StationState state{link, prompts, settings};
};

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
