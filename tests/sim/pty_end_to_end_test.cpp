// qorsim on a pseudo-terminal through libqorlink's COM path (QORLINK_COM1).
#include "link_session.h"
#include "placed_sizes.h"
#include "sim_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qorsim {
namespace {

namespace fs = std::filesystem;

class PtyUnit : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("qorsim-e2e-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        link.reset();
        sim.reset();
        fs::remove_all(dir);
    }
    // Starts qorsim with args and opens COM1 on it.
    void start(std::vector<std::string> args, int baud = 9600, int protocol = 1) {
        args.insert(args.begin(), QORSIM_BIN);
        sim = std::make_unique<ChildProcess>(args);
        std::string port = startedPort(*sim);
        ASSERT_FALSE(port.empty());
        ::setenv("QORLINK_COM1", port.c_str(), 1);
        link = std::make_unique<LinkSession>(1, baud, protocol);
        ASSERT_NE(link->handle, nullptr);
        h = link->handle;
    }
    // Sends control lines (to the FIFO when one is given) and waits for the status line that
    // follows them.
    void control(const std::string &lines, const fs::path &fifo = {}) {
        if (fifo.empty())
            sim->write(lines + "\nstatus\n");
        else
            std::ofstream(fifo) << lines << "\nstatus\n";
        for (std::string line; (line = sim->readLine()).rfind("qorsim: scan", 0) != 0;)
            ASSERT_FALSE(line.empty()) << "no status line";
    }

    fs::path dir;
    std::unique_ptr<ChildProcess> sim;
    std::unique_ptr<LinkSession> link;
    QorHandle h = nullptr;
};

TEST_F(PtyUnit, DefinesAChannelAndReadsItMoving) {
    start({"--link", (dir / "qor1").string()});
    ASSERT_EQ(QorSetNumberOfChannels(h, 8), 0);
    ASSERT_EQ(QorDefineChannel(h, 1, "AVG(P1:P2)*1000"), 0);
    ASSERT_EQ(QorSetChannelDesc(h, 1, "Mean bore"), 0);
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    ASSERT_EQ(QorReadChannelDesc(h, 1, text), 0);
    EXPECT_STREQ(text, "Mean bore");
    EXPECT_TRUE(valueMoves([&] {
        float v = 0;
        EXPECT_EQ(QorReadChannel(h, 1, &v), 0);
        EXPECT_NEAR(v, 0.0f, 2.5f);
        return v;
    }));
    float unused = 0;
    EXPECT_EQ(QorReadChannel(h, 9, &unused), 10);
    EXPECT_EQ(gHandlerCalls, 1);
    EXPECT_TRUE(fs::is_symlink(dir / "qor1"));
}

TEST_F(PtyUnit, ControlLinesSteerTheUnitFromStdinAndFifo) {
    fs::path fifo = dir / "control";
    start({"--control", fifo.string()});
    control("noise 0\npart master2");
    float v = 0;
    ASSERT_EQ(QorReadLvdt(h, 3, &v), 0);
    EXPECT_NEAR(v, 0.01f, 1e-6);
    control("master1 -0.02\npart master1", fifo);
    ASSERT_EQ(QorReadLvdt(h, 3, &v), 0);
    EXPECT_NEAR(v, -0.02f, 1e-6);
}

// Parts placed, taken out and cycled, read through the link library as a station reads them:
// each announced size is what the probes read, and a channel is its formula over them.
TEST_F(PtyUnit, PartsArePlacedTakenOutAndCycledAsAnnounced) {
    const fs::path partsLog = dir / "parts.log";
    start({"--parts-log", partsLog.string(), "--seed", "7"});
    ASSERT_EQ(QorDefineChannel(h, 1, "P1-P2"), 0);
    auto probes = [&] {
        std::vector<double> read;
        for (int pr = 1; pr <= 8; ++pr) {
            float v = 0;
            EXPECT_EQ(QorReadLvdt(h, pr, &v), 0);
            read.push_back(v);
        }
        return read;
    };
    const std::vector<double> rest(8, -0.04);
    auto expectProbes = [&](const std::vector<double> &want) {
        const std::vector<double> got = probes();
        for (std::size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(got[i], want[i], 1e-6) << "probe " << i + 1;
    };
    control("noise 0\npart empty");
    expectProbes(rest);

    sim->write("part place 7\n");
    const std::string placed = sim->readLine();
    ASSERT_EQ(placed.rfind("qorsim: part 7 placed: P1=", 0), 0u) << placed;
    const std::vector<double> sizes = sizesIn(placed);
    ASSERT_EQ(sizes.size(), 8u);
    expectProbes(sizes);
    float channel = 0;
    ASSERT_EQ(QorReadChannel(h, 1, &channel), 0);
    EXPECT_NEAR(channel, sizes[0] - sizes[1], 1e-6);
    control("part out");
    expectProbes(rest);

    // The cycle places its parts by itself: no request wakes the unit for them.
    sim->write("part cycle 0.2 0.1\n");
    std::vector<std::string> announced{placed.substr(std::strlen("qorsim: "))};
    for (int part = 1; part <= 3; ++part) {
        const std::string line = sim->readLine();
        ASSERT_EQ(line.rfind("qorsim: part " + std::to_string(part) + " placed: ", 0), 0u) << line;
        announced.push_back(line.substr(std::strlen("qorsim: ")));
    }
    control("part empty");
    std::ifstream log(partsLog);
    std::vector<std::string> logged;
    for (std::string line; std::getline(log, line);)
        logged.push_back(line);
    ASSERT_GE(logged.size(), announced.size());
    logged.resize(announced.size());
    EXPECT_EQ(logged, announced);
}

TEST_F(PtyUnit, CalibratesAProbe) {
    start({});
    ASSERT_EQ(QorSetLvdtGain(h, 2, 85, 60), 0);
    int16_t status = -1, second = -1;
    ASSERT_EQ(QorSaveCalibration(h, &status), 0);
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(calibrationStored(h, second));
    EXPECT_EQ(second, 0);
    uint8_t rf = 0, ri = 0;
    ASSERT_EQ(QorReadLvdtGain(h, 2, &rf, &ri), 0);
    EXPECT_EQ(rf, 85);
    EXPECT_EQ(ri, 60);
}

TEST_F(PtyUnit, StoredSetupAndCalibrationSurviveARestart) {
    std::string state = (dir / "unit.state").string();
    start({"--state", state});
    ASSERT_EQ(QorDefineChannel(h, 4, "LOR(P5:P8) - 0.5"), 0);
    float top = 0.25f;
    ASSERT_EQ(QorSetBarScaleTop(h, 4, &top), 0);
    ASSERT_EQ(QorSetLvdtNull(h, 6, 123), 0);
    int16_t status = 0, second = 0;
    ASSERT_EQ(QorSaveCalibration(h, &status), 0);
    ASSERT_TRUE(calibrationStored(h, second));
    ASSERT_EQ(QorSaveSetup(h, "default"), 0);
    link.reset();
    sim->stop(SIGTERM);

    start({"--state", state});
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    ASSERT_EQ(QorReadFormula(h, 4, text), 0);
    EXPECT_STREQ(text, "LOR(P5:P8) - 0.5");
    float back = 0;
    ASSERT_EQ(QorReadBarScaleTop(h, 4, &back), 0);
    EXPECT_EQ(back, 0.25f);
    int16_t null = 0;
    ASSERT_EQ(QorReadLvdtNull(h, 6, &null), 0);
    EXPECT_EQ(null, 123);
}

TEST_F(PtyUnit, ServesProtocolZeroFrames) {
    start({"--preset", "demo"}, 9600, 0);
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    ASSERT_EQ(QorReadFormula(h, 3, text), 0);
    EXPECT_STREQ(text, "AVG(P3:P4)");
    float v = 0;
    ASSERT_EQ(QorReadChannel(h, 1, &v), 0);
    EXPECT_NEAR(v, 25.0f, 0.01f);
}

// A frame whose bytes stop coming is dropped after 100 ms of silence; else the station's next
// request would only fill the cut frame's payload and never be answered.
TEST_F(PtyUnit, CutFrameDoesNotSwallowTheNextRequest) {
    sim = std::make_unique<ChildProcess>(std::vector<std::string>{QORSIM_BIN, "--preset", "demo"});
    const std::string port = startedPort(*sim);
    ASSERT_FALSE(port.empty());
    // A second opener, there before the station takes the port for itself; kept open, as closing
    // it would tell the unit that the station let go.
    const int other = ::open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ::setenv("QORLINK_COM1", port.c_str(), 1);
    link = std::make_unique<LinkSession>(1, 9600, 0);
    ASSERT_NE(link->handle, nullptr);
    EXPECT_EQ(::write(other, ":\x34\x08\x03", 4), 4); // announces 8 payload bytes, sends 1
    std::this_thread::sleep_for(std::chrono::milliseconds(250)); // the line falls silent
    float v = 0;
    EXPECT_EQ(QorReadChannel(link->handle, 1, &v), 0);
    EXPECT_NEAR(v, 25.0f, 0.01f);
    ::close(other);
}

TEST_F(PtyUnit, LogsEveryExchange) {
    fs::path log = dir / "exchanges.log";
    start({"--log", log.string()});
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    ASSERT_EQ(QorReadVersion(h, text), 0);
    control(""); // the log line is written before the reply leaves
    std::ifstream in(log);
    std::string line;
    std::getline(in, line);
    EXPECT_NE(line.find(" ~Y6\\r -> ~00 QOR-128 qorsim 1.0\\r"), std::string::npos) << line;
}

TEST_F(PtyUnit, DifferentLineSettingsGiveGarbage) {
    start({"--baud", "19200"}, 9600);
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    EXPECT_EQ(QorReadVersion(h, text), QOR_ERR_NO_RESPONSE);
}

TEST_F(PtyUnit, HangupAfterEndsTheLine) {
    start({"--hangup-after", "1"});
    int16_t value = 0;
    EXPECT_EQ(QorGetScanTime(h, &value), 0);
    EXPECT_EQ(QorGetScanTime(h, &value), QOR_ERR_NO_RESPONSE);
    int status = 0;
    ASSERT_EQ(::waitpid(sim->pid(), &status, 0), sim->pid());
    EXPECT_TRUE(WIFEXITED(status));
}

TEST_F(PtyUnit, PaceKeepsToTheLineRate) {
    start({"--pace", "--baud", "38400"}, 38400);
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    const int exchanges = 20;
    auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < exchanges; ++i)
        ASSERT_EQ(QorReadVersion(h, text), 0);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    const double replyChars = 23; // "~00 QOR-128 qorsim 1.0\r"
    EXPECT_GE(took.count(), 0.98 * exchanges * replyChars * 11 / 38400);
}

// The exclusive-use tests run the simulator and every client as the unprivileged user, for whom
// the flag is binding. The programs are copied where that user may run them (the build tree may
// lie in root's home).
class PtyExclusiveUse : public PtyUnit {
protected:
    void SetUp() override {
        PtyUnit::SetUp();
        fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
        const std::string simulator = (dir / "qorsim").string();
        probe = (dir / "probe").string();
        fs::copy_file(QORSIM_BIN, simulator);
        fs::copy_file(QORSIM_PORT_PROBE, probe);
        unit = std::make_unique<ChildProcess>(std::vector<std::string>{simulator}, true);
        port = startedPort(*unit);
        ASSERT_FALSE(port.empty());
    }
    void TearDown() override {
        unit.reset();
        PtyUnit::TearDown();
    }
    // Runs the probe in mode on the port and returns its line.
    std::string probeLine(const std::string &mode) {
        ChildProcess client({probe, mode, port}, true);
        return client.readLine();
    }
    // Waits until the simulator has handled every open and close so far: it handles the port's
    // events ahead of control lines, and a client's events are queued before it is reaped.
    void settled() {
        unit->write("status\n");
        ASSERT_EQ(unit->readLine().rfind("qorsim: scan", 0), 0u);
    }

    std::string probe;
    std::string port;
    std::unique_ptr<ChildProcess> unit;
};

constexpr const char *kBusy = "open: Device or resource busy";
constexpr const char *kAnswer = "~00 QOR-128 qorsim 1.0";

// A station killed while it holds the port for exclusive use must not lock an ordinary user out.
TEST_F(PtyExclusiveUse, HolderKilledThenReopenedByAnOrdinaryUser) {
    for (int round = 0; round < 2; ++round) {
        ChildProcess holder({probe, "hold", port}, true);
        ASSERT_EQ(holder.readLine(), "held");
        EXPECT_EQ(probeLine("ask"), kBusy) << "held exclusively";
        holder.stop(SIGKILL);
        settled();
        EXPECT_EQ(probeLine("ask"), kAnswer) << "round " << round;
    }
}

// The simulator learns of a close some time after it happened. A client that opened the port in
// between and claimed it keeps its claim: the stopped simulator makes that late for certain.
TEST_F(PtyExclusiveUse, LateCloseOfAnEarlierClientLeavesTheNextClaimStanding) {
    ::kill(unit->pid(), SIGSTOP);
    EXPECT_EQ(probeLine("open"), "opened");
    ChildProcess holder({probe, "hold", port}, true);
    ASSERT_EQ(holder.readLine(), "held");
    ::kill(unit->pid(), SIGCONT);
    settled();
    EXPECT_EQ(probeLine("ask"), kBusy);
    holder.stop(SIGKILL);
    settled();
    EXPECT_EQ(probeLine("ask"), kAnswer);
}

} // namespace
} // namespace qorsim
