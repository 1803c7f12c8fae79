// Option parsing shared by qorsim and QORSIM_OPTIONS, and the pacing of reply characters.
#include "options.h"
#include "pacer.h"

#include <gtest/gtest.h>

namespace qorsim {
namespace {

TEST(Options, ParsesEveryOption) {
    OptionsResult r = parseOptions(splitOptionString(
        "--channels-max 16 --probes=4 --analogs 0 --baud 38400 --pace --preset demo "
        "--state s --log l --link k --control c --seed 9 --drop-rate 0.5 --garble-rate=1 "
        "--delay-ms 20 --silent-after 3 --hangup-after 4 --save-status 2 --fail-command PD "
        "--fail-command=43"));
    ASSERT_EQ(r.error, "");
    const Options &o = r.options;
    EXPECT_EQ(o.channelsMax, 16);
    EXPECT_EQ(o.probes, 4);
    EXPECT_EQ(o.analogs, 0);
    EXPECT_EQ(o.baud, 38400);
    EXPECT_TRUE(o.pace);
    EXPECT_EQ(o.preset, "demo");
    EXPECT_EQ(o.stateFile, "s");
    EXPECT_EQ(o.logFile, "l");
    EXPECT_EQ(o.linkPath, "k");
    EXPECT_EQ(o.controlFifo, "c");
    EXPECT_EQ(o.seed, 9u);
    EXPECT_EQ(o.dropRate, 0.5);
    EXPECT_EQ(o.garbleRate, 1.0);
    EXPECT_EQ(o.delayMs, 20);
    EXPECT_EQ(o.silentAfter, 3);
    EXPECT_EQ(o.hangupAfter, 4);
    EXPECT_EQ(o.saveStatus, 2);
    EXPECT_EQ(o.failCommands, (std::vector<std::string>{"PD", "43"}));
}

TEST(Options, RefusesWhatItCannotHonour) {
    for (const char *bad :
         {"--probes 0", "--channels-max 256", "--baud 57600", "--preset full", "--drop-rate 1.5",
          "--garble-rate x", "--delay-ms -1", "--seed", "--frobnicate 1", "stray", "--probes 4x",
          "--fail-command PDX", "--fail-command 256", "--fail-command ~P"}) {
        EXPECT_NE(parseOptions(splitOptionString(bad)).error, "") << bad;
    }
}

TEST(Options, HelpNamesEveryOption) {
    std::string help = optionsHelp();
    for (const char *name : {"--channels-max", "--probes",       "--analogs",      "--baud",
                             "--pace",         "--preset",       "--state",        "--log",
                             "--link",         "--control",      "--seed",         "--drop-rate",
                             "--garble-rate",  "--delay-ms",     "--silent-after", "--hangup-after",
                             "--save-status",  "--fail-command", "QORSIM_OPTIONS", "part run",
                             "probe N stuck",  "fail CMD [N]",   "fail off",       "quit"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

TEST(Options, PartOptionsAreCheckedAndTaken) {
    struct Case {
        const char *args;
        bool ok;
        double spread = 0, drift = 0, load = 0, out = 0;
    };
    const Case cases[] = {
        {"", true, 0.001, 0, 0, 1.5},
        {"--spread 0 --drift -1e-4", true, 0, -1e-4, 0, 1.5},
        {"--cycle 2", true, 0.001, 0, 2, 1.5},
        {"--cycle=2.5,0.5", true, 0.001, 0, 2.5, 0.5},
        {"--spread -0.1", false},
        {"--drift inf", false},
        {"--cycle 0.05", false},
        {"--cycle 2,", false},
        {"--cycle 2,4000", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        OptionsResult r = parseOptions(splitOptionString(c.args));
        EXPECT_EQ(r.error.empty(), c.ok) << r.error;
        if (!c.ok || !r.error.empty())
            continue;
        EXPECT_EQ(r.options.spread, c.spread);
        EXPECT_EQ(r.options.drift, c.drift);
        EXPECT_EQ(r.options.cycleLoadSeconds, c.load);
        EXPECT_EQ(r.options.cycleOutSeconds, c.out);
    }
    EXPECT_EQ(parseOptions({"--parts-log", "parts.txt"}).options.partsLog, "parts.txt");
    const std::string help = optionsHelp();
    for (const char *name : {"--spread", "--drift", "--cycle", "--parts-log", "part empty",
                             "part place [N]", "part reference SIZE", "part cycle [LOAD [OUT]]",
                             "shift SIZE", "drift RATE", "spread SIGMA"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

TEST(LinePacer, DeadlinesDoNotDriftAndWaitForTheLine) {
    LinePacer pacer;
    std::vector<double> due;
    pacer.schedule(10.0, 1000, 9600, due);
    ASSERT_EQ(due.size(), 1000u);
    EXPECT_DOUBLE_EQ(due.back(), 10.0 + 999 * 11.0 / 9600);
    // A reply ready while the line is still busy queues behind it.
    pacer.schedule(10.5, 2, 9600, due);
    EXPECT_DOUBLE_EQ(due[1000], 10.0 + 1000 * 11.0 / 9600);
    // One ready after the line fell idle starts at once.
    pacer.schedule(20.0, 1, 38400, due);
    EXPECT_DOUBLE_EQ(due.back(), 20.0);
}

} // namespace
} // namespace qorsim
