#pragma once

#include "CommandLine.h"
#include "FormMain.h"
#include "Station.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QApplication>

#include <cstdio>
#include <memory>

// The main window over the stand-in unit with 128 channels in the channel view, the grid and the
// gauges shown, every channel defined on a probe so that rows change as the probes move. Ticks
// run only when the benchmark asks. A box would stop the measurement; it is counted instead.
struct PolledStation {
    static constexpr int Channels = 128;

    StationFixture fixture;
    CommandLine line;
    std::unique_ptr<StationHelp> help;
    std::unique_ptr<FormMain> window;

    bool open() {
        Station &state = fixture.state;
        QString why;
        if (!fixture.connectStandIn(QStringLiteral("--preset demo --channels-max 128"), &why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return false;
        }
        state.unit.UnitSystem->setMaxChannel(Channels);
        state.unit.Channels.clear();
        state.unit.Lvdts.clear();
        state.unit.Analogs.clear();
        CreateMeasurementObjects(state.unit, state.session, state.prompts);
        for (int n = 1; n <= Channels; ++n)
            state.unit.channel(n)->setFormula(QStringLiteral("P%1").arg((n - 1) % 8 + 1));
        state.view.ViewMode = View::Channels;
        help = std::make_unique<StationHelp>(state.config, state.prompts);
        window = std::make_unique<FormMain>(state, line, *help);
        window->Form_Load(); // grid and bars open by default
        window->linkScheduler().stopPolling();
        window->show();
        QApplication::processEvents();
        return boxes() == 0;
    }
    double boxes() const { return static_cast<double>(fixture.prompts.shown.size()); }
};
