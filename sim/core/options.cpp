#include "options.h"

#include <algorithm>
#include <charconv>
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
    char *end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= 0.0 && v <= 1.0))
        return false;
    out = v;
    return true;
}

const std::string_view kValueOptions[] = {
    "--channels-max", "--probes",       "--analogs",  "--baud",         "--preset",
    "--state",        "--log",          "--link",     "--control",      "--seed",
    "--drop-rate",    "--garble-rate",  "--delay-ms", "--silent-after", "--hangup-after",
    "--save-status",  "--fail-command",
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
        }
    }
    return result;
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
  master1 SIZE, master2 SIZE      size deviation of the master parts (default -0.01, 0.01)
  noise SIGMA                     probe noise (default 0.00002)
  probe N stuck|free              freeze or release probe N's reading
  fail CMD [N]                    refuse the next N requests of command CMD (every one
                                  without N) as --fail-command does
  fail off                        end every such refusal
  status                          print the unit's state in one line
  quit                            end the simulator

  -h, --help         this text
)";
}

} // namespace qorsim
