#include "options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string_view>

namespace qorsim {

namespace {

template <typename T> bool parseNumber(const std::string &text, T &out) {
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool parseRate(const std::string &text, double &out) {
    double v = 0;
    if (!parseReal(text, v) || !(v >= 0.0 && v <= 1.0))
        return false;
    out = v;
    return true;
}

// LOAD[,OUT]: seconds a part stays in and seconds the fixture stays empty.
bool parseCycle(const std::string &text, double &load, double &out) {
    const auto comma = text.find(',');
    double l = 0, o = Fixture::kDefaultOutSeconds;
    if (!parseReal(text.substr(0, comma), l) ||
        (comma != std::string::npos && !parseReal(text.substr(comma + 1), o)) ||
        !Fixture::validCycleSeconds(l) || !Fixture::validCycleSeconds(o))
        return false;
    load = l;
    out = o;
    return true;
}

const std::string_view kValueOptions[] = {
    "--channels-max", "--probes",       "--analogs",  "--baud",         "--preset",
    "--state",        "--log",          "--link",     "--control",      "--seed",
    "--drop-rate",    "--garble-rate",  "--delay-ms", "--silent-after", "--hangup-after",
    "--save-status",  "--fail-command", "--spread",   "--drift",        "--cycle",
    "--parts-log",
};

} // namespace

OptionsResult parseOptions(const std::vector<std::string> &args) {
    OptionsResult result;
    Options &o = result.options;
    auto fail = [&](const std::string &why) {
        result.error = why;
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--pace") {
            o.pace = true;
            continue;
        }
        if (name.rfind("--", 0) != 0)
            return fail("unexpected argument '" + name + "'");
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), name) ==
            std::end(kValueOptions))
            return fail("unknown option " + name);
        if (!inlineValue) {
            if (i + 1 >= args.size())
                return fail(name + " needs a value");
            value = args[++i];
        }
        auto bad = [&]() {
            return fail("bad value '" + value + "' for " + name);
        };
        long n = 0;
        auto integer = [&](long min, long max) {
            return parseNumber(value, n) && n >= min && n <= max;
        };
        if (name == "--channels-max") {
            if (!integer(1, 255))
                return bad();
            o.channelsMax = static_cast<int>(n);
        } else if (name == "--probes") {
            if (!integer(1, 255))
                return bad();
            o.probes = static_cast<int>(n);
        } else if (name == "--analogs") {
            if (!integer(0, 255))
                return bad();
            o.analogs = static_cast<int>(n);
        } else if (name == "--baud") {
            if (!integer(9600, 38400) || (n != 9600 && n != 19200 && n != 38400))
                return bad();
            o.baud = static_cast<int>(n);
        } else if (name == "--preset") {
            if (value != "demo" && value != "empty")
                return bad();
            o.preset = value;
        } else if (name == "--state") {
            o.stateFile = value;
        } else if (name == "--log") {
            o.logFile = value;
        } else if (name == "--link") {
            o.linkPath = value;
        } else if (name == "--control") {
            o.controlFifo = value;
        } else if (name == "--seed") {
            if (!parseNumber(value, o.seed))
                return bad();
        } else if (name == "--drop-rate") {
            if (!parseRate(value, o.dropRate))
                return bad();
        } else if (name == "--garble-rate") {
            if (!parseRate(value, o.garbleRate))
                return bad();
        } else if (name == "--delay-ms") {
            if (!integer(0, 60000))
                return bad();
            o.delayMs = static_cast<int>(n);
        } else if (name == "--silent-after") {
            if (!integer(0, 1L << 40))
                return bad();
            o.silentAfter = n;
        } else if (name == "--hangup-after") {
            if (!integer(0, 1L << 40))
                return bad();
            o.hangupAfter = n;
        } else if (name == "--save-status") {
            if (!integer(0, 255))
                return bad();
            o.saveStatus = static_cast<int>(n);
        } else if (name == "--fail-command") {
            if (!isCommandName(value))
                return bad();
            o.failCommands.push_back(value);
        } else if (name == "--spread") {
            if (!parseReal(value, o.spread) || o.spread < 0)
                return bad();
        } else if (name == "--drift") {
            if (!parseReal(value, o.drift))
                return bad();
        } else if (name == "--cycle") {
            if (!parseCycle(value, o.cycleLoadSeconds, o.cycleOutSeconds))
                return bad();
        } else if (name == "--parts-log") {
            o.partsLog = value;
        }
    }
    return result;
}

bool parseReal(const std::string &text, double &out) {
    const char *begin = text.data(), *end = text.data() + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double v = 0;
    auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || ptr != end || begin == end || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool isCommandName(const std::string &text) {
    int code = 0;
    if (parseNumber(text, code))
        return code >= 0 && code <= 255;
    return text.size() == 2 && std::all_of(text.begin(), text.end(),
                                           [](char c) { return c > ' ' && c < 0x7F && c != '~'; });
}

std::vector<std::string> splitOptionString(const std::string &text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::string optionsHelp() {
    return R"(Usage: qorsim [OPTIONS]
Simulates a QOR-128 measuring unit on a pseudo-terminal. The first line of output is
"qorsim: unit on /dev/pts/N"; the unit serves that port until the process is killed.
The stand-in USB library libftd2xx.so runs the same unit and takes the same options from
the environment variable QORSIM_OPTIONS.

Unit:
  --channels-max N   channels the unit accepts, 1..255 (default 128; also the initial count)
  --probes N         installed LVDT inputs, 1..255 (default 8)
  --analogs N        analog inputs, 0..255 (default 4)
  --baud N           the unit's serial line rate: 9600, 19200 or 38400 (default 9600);
                     the line runs 8 data bits, no parity, 2 stop bits. A station whose
                     line settings differ receives garbage. USB always runs at 115200 8N1.
  --pace             take the line's time: a request is whole only once its characters
                     have crossed, and reply characters leave no faster than the line;
                     11 bits a character at the rate the station applied (pty only)
  --preset NAME      demo: eight channels with descriptions, masters, limits and bar
                     scales; empty: no channels defined (default)
  --state FILE       non-volatile memory: stored setups, amplifier calibration and
                     stored frequencies survive restarts; at power-on the unit loads its
                     setup "default" when one is stored
  --log FILE         one line per exchange: time, request, reply (escaped)
  --seed N           seed of the noise and of the fault decisions (default 1)

Parts (see the control lines "part place" and "part cycle"):
  --spread SIGMA     standard deviation of the seeded parts' sizes on each probe, mm
                     (default 0.001)
  --drift RATE       the parts' mean moves RATE mm a part from the first part on
  --cycle LOAD[,OUT] start with the fixture cycling as "part cycle LOAD OUT" does
  --parts-log FILE   append one line for each part placed: its number and true sizes

Port (pty front end only):
  --link PATH        keep a symlink PATH to the slave device (removed at exit)
  --control FIFO     also read control lines from FIFO (created when missing)

Faults:
  --drop-rate P      drop each reply with probability P (0..1)
  --garble-rate P    corrupt one byte of each reply with probability P (0..1)
  --delay-ms N       send each reply N ms after its request
  --silent-after N   answer the first N requests, then nothing
  --hangup-after N   answer the first N requests, then hang up (pty: close the port and
                     exit; USB: every later D2XX call fails with FT_IO_ERROR)
  --save-status N    second status of the calibration store (~PX) after it completes
  --fail-command CMD refuse every request of command CMD with error 18 and carry none
                     out: CMD is a protocol-1 command ("PD") or a protocol-0 code ("33");
                     may be given more than once

Control lines (standard input, or --control FIFO):
  part run|master1|master2|hold   a new part every 2 s, a master part, or keep the part
                                  in the fixture (the free run's, the cycle's or any other)
  part empty, part out            nothing in the fixture: every probe at rest, fully
                                  extended at -0.040 mm, plus noise
  part place [N]                  place the next part of the seeded run, or part N of the
                                  seeded set (N >= 1, the run not moved on), and keep it
  part reference SIZE             place a reference part: SIZE mm on every probe
  part cycle [LOAD [OUT]]         empty for OUT s (default 1.5), then the run's next part
                                  for LOAD s (default 3), and again; 0.1 to 3600 s each
  shift SIZE                      a step of SIZE mm in the parts' mean from the run's next
                                  part on (steps add up)
  drift RATE                      the mean moves RATE mm a part from the run's next part on
  spread SIGMA                    the parts' standard deviation from the run's next part on
  master1 SIZE, master2 SIZE      size deviation of the master parts (default -0.01, 0.01)
  noise SIGMA                     probe noise (default 0.00002)
  probe N stuck|free              freeze or release probe N's reading
  fail CMD [N]                    refuse the next N requests of command CMD (every one
                                  without N) as --fail-command does
  fail off                        end every such refusal
  status                          print the unit's state in one line
  quit                            end the simulator

  -h, --help         this text

Parts of the seeded set: part k's true displacement on each probe is the mean for part k
(the shifts and drift in force when the run reached it) plus the spread times a normal
value drawn from the seed, part and probe: the same part and seed give the same sizes. A
part taken ahead of the run keeps the sizes it was first placed with. Each part placed
prints "qorsim: part 12 placed: P1=0.001234567 P2=..." (a reference part: "qorsim:
reference part placed: ..."); "status" shows the part in the fixture with its true sizes,
the run's next part and its mean, the spread, the shifts' sum and the drift. The free run
("part run", the default) draws its parts within +-0.002 mm and ignores spread, shift and
drift.

Noise: each scan adds to every probe a normal error of the noise SIGMA divided by the
square root of the unit's ADC averaging (QorSetAdcAvg), before the amplifier; with the
probe's default gain and scaling a probe reading is the true displacement in mm plus that
error, so the spread of repeated readings of one part (a gauge study's repeatability)
comes out near it. A channel carries it through its formula and scaling (AVG of two
probes: divided by the square root of 2). The running average (QorSetRunAvg) lowers it
further for readings within its window.
)";
}

} // namespace qorsim
