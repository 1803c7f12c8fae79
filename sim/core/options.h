// Options of the simulated unit, shared by the pty front end (command line) and the stand-in USB
// library (QORSIM_OPTIONS, same syntax).
#pragma once

#include "fixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qorsim {

struct Options {
    int channelsMax = 128;
    int probes = 8;
    int analogs = 4;
    int baud = 9600;
    bool pace = false;
    std::string preset = "empty";
    std::string stateFile;
    std::string logFile;
    std::string linkPath;    // pty front end only
    std::string controlFifo; // pty front end only
    std::uint64_t seed = 1;
    double dropRate = 0;
    double garbleRate = 0;
    int delayMs = 0;
    long silentAfter = -1; // -1: never
    long hangupAfter = -1; // -1: never
    int saveStatus = 0;
    // Commands whose every request the unit refuses (--fail-command, once for each).
    std::vector<std::string> failCommands;
    // The seeded parts: their spread and drift from the first part on, a cycle of placing and
    // taking them out from power-on (load seconds 0: no cycle), and where each placed part is
    // written down.
    double spread = PartSet::kDefaultSpread;
    double drift = 0;
    double cycleLoadSeconds = 0;
    double cycleOutSeconds = Fixture::kDefaultOutSeconds;
    std::string partsLog;
    bool help = false;
};

struct OptionsResult {
    Options options;
    std::string error; // empty when the arguments were understood
};

// Parses arguments (without the program name). Accepts "--name value" and "--name=value".
OptionsResult parseOptions(const std::vector<std::string> &args);
// A finite decimal number, read the same in every locale; a leading "+" is allowed.
bool parseReal(const std::string &text, double &out);
// Whether `text` names a command: the two characters of a protocol-1 line ("PD") or the decimal
// code of a protocol-0 frame, 0 to 255 ("33").
bool isCommandName(const std::string &text);
// Splits a QORSIM_OPTIONS value at blanks.
std::vector<std::string> splitOptionString(const std::string &text);
// The --help text.
std::string optionsHelp();

} // namespace qorsim
