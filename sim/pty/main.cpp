// qorsim: a QOR-128 unit on a pseudo-terminal. The first line of output names the slave device.
#include "exchange_log.h"
#include "options.h"
#include "part_announcer.h"
#include "pty_port.h"
#include "pty_server.h"
#include "standin_library.h"
#include "unit.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

// The stand-in that came with this program: found from the program's own folder, so the build
// tree and an installed system each name their own.
std::string ownStandinLibrary() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    std::vector<std::string> folders;
    std::istringstream list(QORSIM_STANDIN_DIRS);
    for (std::string folder; std::getline(list, folder, ':');)
        folders.push_back(folder);
    return qorsim::findStandinLibrary(program.parent_path().string(), folders);
}

} // namespace

int main(int argc, char **argv) {
    using namespace qorsim;
    OptionsResult parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "qorsim: %s (see qorsim --help)\n", parsed.error.c_str());
        return 2;
    }
    const Options &options = parsed.options;
    if (options.help) {
        std::fputs(optionsHelp().c_str(), stdout);
        const std::string standin = ownStandinLibrary();
        std::printf("\nStand-in USB library of this qorsim: %s\n",
                    standin.empty() ? "(not found)" : standin.c_str());
        return 0;
    }
    ExchangeLog log;
    if (!options.logFile.empty() && !log.open(options.logFile)) {
        std::fprintf(stderr, "qorsim: %s: %s\n", options.logFile.c_str(), std::strerror(errno));
        return 1;
    }
    PartAnnouncer announcer;
    if (!options.partsLog.empty() && !announcer.open(options.partsLog)) {
        std::fprintf(stderr, "qorsim: %s: %s\n", options.partsLog.c_str(), std::strerror(errno));
        return 1;
    }
    Unit unit(options, monotonicSeconds);
    PtyPort port;
    std::string error;
    if (!port.open(unitSerialLine(options), options.linkPath, error)) {
        std::fprintf(stderr, "qorsim: %s\n", error.c_str());
        return 1;
    }
    std::printf("qorsim: unit on %s\n", port.slavePath().c_str());
    std::fflush(stdout);
    return PtyServer(options, port, unit, log, announcer).run();
}
