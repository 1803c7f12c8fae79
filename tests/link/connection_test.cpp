// Opening, closing and the rules around them, the line settings as the slave sees them, the
// error handler, and the mended limits (267, text bounds, short replies), all through the exports
// on real pseudo-terminals.
#include "link_fixture.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(Info, OneRecordFilledFromTheArguments) {
    QorInfo *info = QorInitInfoStructure(3, 19200, 1, counting_handler);
    EXPECT_EQ(info->size, 24);
    EXPECT_EQ(info->port, 3);
    EXPECT_EQ(info->baud, 19200);
    EXPECT_EQ(info->protocol, 1);
    EXPECT_EQ(info->error, 0);
    EXPECT_EQ(info->handler, counting_handler);
    info->error = 99;
    QorInfo *again = QorInitInfoStructure(4, 9600, 0, nullptr);
    EXPECT_EQ(again, info);
    EXPECT_EQ(again->error, 0);
    EXPECT_NE(again->handler, nullptr); // the default handler
}

TEST(Open, RefusesBadRecordsWithoutAReason) {
    PtyUnit unit;
    EXPECT_EQ(QorOpen(nullptr), nullptr);
    QorInfo *info = QorInitInfoStructure(unit.port(), 9600, 2, counting_handler);
    info->error = 5;
    EXPECT_EQ(QorOpen(info), nullptr);
    EXPECT_EQ(info->error, 0);
    info->protocol = 1;
    info->size = 23;
    info->error = 5;
    EXPECT_EQ(QorOpen(info), nullptr);
    EXPECT_EQ(info->error, 5); // a record that is not one is not written
}

TEST(Open, MissingPortIs263) {
    setenv("QORLINK_COM31", "/nonexistent/tty", 1);
    QorInfo *info = QorInitInfoStructure(31, 9600, 1, counting_handler);
    EXPECT_EQ(QorOpen(info), nullptr);
    EXPECT_EQ(info->error, QOR_ERR_OPEN_FAILED);
}

TEST(Open, DeviceThatIsNotATerminalRefusesTheLineSettings) {
    setenv("QORLINK_COM32", "/dev/null", 1);
    QorInfo *info = QorInitInfoStructure(32, 9600, 1, counting_handler);
    EXPECT_EQ(QorOpen(info), nullptr);
    EXPECT_EQ(info->error, 0);
}

TEST(Open, PortHeldByAnotherOpenerIs263) {
    PtyUnit unit;
    const int other = open(unit.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    QorInfo *info = QorInitInfoStructure(unit.port(), 9600, 1, counting_handler);
    EXPECT_EQ(QorOpen(info), nullptr);
    EXPECT_EQ(info->error, QOR_ERR_OPEN_FAILED);
    close(other);
}

TEST(Open, HoldsThePortExclusivelyUntilClosed) {
    LinkOnPty link(1);
    ASSERT_NE(link.handle, nullptr);
    const int other = open(link.unit.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (other >= 0) { // root passes TIOCEXCL; the lock still keeps it out
        EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
        close(other);
    } else {
        EXPECT_EQ(errno, EBUSY);
    }
    ASSERT_EQ(QorClose(link.handle), 0);
    const int after = open(link.unit.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(after, 0);
    EXPECT_EQ(flock(after, LOCK_EX | LOCK_NB), 0);
    close(after);
}

TEST(Open, SecondOpenReturnsTheSameHandleOnAFreshLine) {
    LinkOnPty link(1);
    ASSERT_NE(link.handle, nullptr);
    EXPECT_EQ(QorOpen(link.info), link.handle);
    link.unit.send(line_reply("00 003 1.5"));
    float value = 0.0F;
    EXPECT_EQ(QorReadChannel(link.handle, 3, &value), 0);
    EXPECT_EQ(value, 1.5F);
}

// The user's ports file decides the device when no variable names one. The request has to reach
// the unit named on the port's own line, not a device on a line whose name merely shares digits.
TEST(Open, ComPortFoundThroughTheUserPortsFile) {
    PtyUnit unit(33), decoy(34);
    unsetenv("QORLINK_COM33");
    unsetenv("QORLINK_COM34");
    const auto config =
        std::filesystem::temp_directory_path() / ("qorlink-conf-" + std::to_string(getpid()));
    std::filesystem::create_directories(config / "qorlink");
    std::ofstream(config / "qorlink" / "ports.conf")
        << "COM3=" << decoy.slave_path() << "\nCOM33=" << unit.slave_path()
        << "\nCOM333=" << decoy.slave_path() << "\n";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const auto exchange = [&unit] {
        g_handler_calls = 0;
        QorHandle h = QorOpen(QorInitInfoStructure(33, 9600, 1, counting_handler));
        ASSERT_NE(h, nullptr);
        unit.send(line_reply("00 003 1.5"));
        float value = 0.0F;
        EXPECT_EQ(QorReadChannel(h, 3, &value), 0);
        EXPECT_EQ(value, 1.5F);
        EXPECT_EQ(unit.read_line(), "~C1 3\r") << "the request went to the device of COM33";
        EXPECT_EQ(g_handler_calls, 0);
        QorClose(h);
    };
    exchange();
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(config);
}

struct LineSetting {
    int32_t baud;
    speed_t speed;
    friend void PrintTo(const LineSetting &value, std::ostream *out) { *out << value.baud; }
};

class LineSettings : public testing::TestWithParam<LineSetting> {};

// tcgetattr on the master of a pty reads the slave's settings.
TEST_P(LineSettings, AppliedRaw8N2) {
    LinkOnPty link(1, GetParam().baud);
    ASSERT_NE(link.handle, nullptr);
    termios settings{};
    ASSERT_EQ(tcgetattr(link.unit.master(), &settings), 0);
    EXPECT_EQ(cfgetispeed(&settings), GetParam().speed);
    EXPECT_EQ(cfgetospeed(&settings), GetParam().speed);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_NE(settings.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(settings.c_cflag & (PARENB | CRTSCTS), 0u);
    EXPECT_EQ(settings.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL));
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(settings.c_cc[VMIN], 0);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
}

INSTANTIATE_TEST_SUITE_P(Rates, LineSettings,
                         testing::Values(LineSetting{9600, B9600}, LineSetting{19200, B19200},
                                         LineSetting{38400, B38400}, LineSetting{57600, B9600},
                                         LineSetting{115200, B9600}, LineSetting{0, B9600}));

TEST(Close, RulesForHandles) {
    EXPECT_EQ(QorClose(nullptr), QOR_ERR_INVALID_HANDLE);
    int32_t error = -5;
    char text[64] = "untouched";
    EXPECT_EQ(QorDecodeError(nullptr, &error, text), QOR_ERR_INVALID_HANDLE);
    EXPECT_EQ(error, -5);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(QorSetErrorHandler(nullptr, counting_handler), QOR_ERR_INVALID_HANDLE);
    QorConnection *stranger = reinterpret_cast<QorConnection *>(text);
    EXPECT_EQ(QorClose(stranger), QOR_ERR_INVALID_HANDLE);

    LinkOnPty link(1);
    ASSERT_NE(link.handle, nullptr);
    EXPECT_EQ(QorClose(link.handle), 0);
    EXPECT_EQ(QorClose(link.handle), 0);
    // The closed record is still the library's: decoding works, operations fail at once.
    EXPECT_EQ(QorDecodeError(link.handle, &error, text), 0);
    float value = 7.0F;
    EXPECT_EQ(QorReadChannel(link.handle, 1, &value), QOR_ERR_NO_RESPONSE);
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(g_handler_calls, 1);
}

TEST(Handler, DefaultWritesTheDecodedTextToStderr) {
    PtyUnit unit;
    QorHandle h = QorOpen(QorInitInfoStructure(unit.port(), 9600, 0, nullptr));
    ASSERT_NE(h, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(QorGetScanFlag(h, nullptr), QOR_ERR_NOT_IN_PROTOCOL);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Qor Error: Command not available in current protocol\n");

    EXPECT_EQ(QorSetErrorHandler(h, counting_handler), 0);
    g_handler_calls = 0;
    EXPECT_EQ(QorGetScanFlag(h, nullptr), QOR_ERR_NOT_IN_PROTOCOL);
    EXPECT_EQ(g_handler_calls, 1);
    EXPECT_EQ(QorSetErrorHandler(h, nullptr), 0);
    testing::internal::CaptureStderr();
    QorGetScanFlag(h, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Qor Error: Command not available in current protocol\n");
    QorClose(h);
}

int32_t g_seen_error = 0;

int32_t QORAPI decoding_handler(QorHandle h) {
    char text[64];
    QorDecodeError(h, &g_seen_error, text);
    return 0;
}

// The unit's own numbers and any other number it may send reach QorDecodeError unchanged.
TEST(Decode, ErrorsAsTheUnitSendsThem) {
    LinkOnPty link(1);
    ASSERT_NE(link.handle, nullptr);
    QorSetErrorHandler(link.handle, decoding_handler);
    const std::pair<const char *, const char *> cases[] = {
        {"12", "Invalid formula"},
        {"23", "Invalid range in GOR or LOR function"},
        {"11", "Unknown error:0000000B"},
        {"265", "Unexpected message length"},
    };
    for (const auto &[number, text] : cases) {
        link.unit.send(line_reply(number));
        EXPECT_EQ(QorStartScan(link.handle), std::atoi(number));
        EXPECT_EQ(g_seen_error, std::atoi(number));
        int32_t error = 0;
        char decoded[64];
        EXPECT_EQ(QorDecodeError(link.handle, &error, decoded), 0);
        EXPECT_EQ(error, std::atoi(number));
        EXPECT_STREQ(decoded, text);
    }
    link.unit.send(line_reply("00"));
    EXPECT_EQ(QorStartScan(link.handle), 0);
    char decoded[64];
    int32_t error = -1;
    QorDecodeError(link.handle, &error, decoded);
    EXPECT_EQ(error, 0);
    EXPECT_STREQ(decoded, "Unknown error:00000000");
}

struct TooLong {
    const char *legend;
    int32_t protocol;
    std::size_t length; // of the formula, description, or the direct-copy count
    bool fits;
    friend void PrintTo(const TooLong &value, std::ostream *out) { *out << value.legend; }
};

class CommandLength : public testing::TestWithParam<TooLong> {};

TEST_P(CommandLength, RequestsThatDoNotFitAreRefusedWhole) {
    const TooLong &c = GetParam();
    LinkOnPty link(c.protocol);
    ASSERT_NE(link.handle, nullptr);
    const std::string legend = c.legend;
    int32_t result = 0;
    if (legend.starts_with("DirectCopy")) {
        std::vector<uint8_t> channels(c.length > 0 ? c.length : 1, 1);
        std::vector<int16_t> results(channels.size(), 0);
        if (c.fits) {
            link.unit.send(frame_reply(0, {0}));
        }
        result = QorReadDirectCopy(link.handle, static_cast<int32_t>(c.length), channels.data(),
                                   results.data());
    } else {
        const std::string text(c.length, 'P');
        if (c.fits) {
            link.unit.send(c.protocol == 0 ? frame_reply(0, {0}) : Bytes{'~', '0', '0', '\r'});
        }
        result = legend.starts_with("Desc") ? QorSetChannelDesc(link.handle, 3, text.c_str())
                                            : QorDefineChannel(link.handle, 3, text.c_str());
    }
    if (c.fits) {
        EXPECT_EQ(result, 0);
        if (c.protocol == 0) {
            EXPECT_FALSE(link.unit.read_frame().empty());
        } else {
            EXPECT_EQ(link.unit.read_line().size(), 256u);
        }
        return;
    }
    EXPECT_EQ(result, QOR_ERR_COMMAND_TOO_LONG);
    EXPECT_EQ(g_handler_calls, 1);
    char text[64];
    int32_t error = 0;
    QorDecodeError(link.handle, &error, text);
    EXPECT_STREQ(text, "Command too long");
    link.expect_nothing_sent();
}

INSTANTIATE_TEST_SUITE_P(
    Limits, CommandLength,
    testing::Values(
        TooLong{"FormulaLineFits", 1, 249, true}, // "~C4 3 " + 249 + "\r" = 256
        TooLong{"FormulaLineTooLong", 1, 250, false}, TooLong{"DescLineTooLong", 1, 250, false},
        TooLong{"FormulaFrameFits", 0, 253, true}, // channel, text, zero: 255
        TooLong{"FormulaFrameTooLong", 0, 254, false}, TooLong{"FormulaHuge", 0, 100000, false},
        TooLong{"DirectCopy255Fits", 0, 255, true}, TooLong{"DirectCopy256TooLong", 0, 256, false}),
    [](const testing::TestParamInfo<TooLong> &param) { return param.param.legend; });

TEST(DirectCopy, NegativeCountIsRefused) {
    LinkOnPty link(0);
    ASSERT_NE(link.handle, nullptr);
    EXPECT_EQ(QorReadDirectCopy(link.handle, -1, nullptr, nullptr), QOR_ERR_COMMAND_TOO_LONG);
    link.expect_nothing_sent();
}

// A text read writes at most QOR_TEXT_BUFFER_SIZE bytes; the buffer is exactly that large so that
// the address sanitizer sees any byte beyond it.
TEST(TextReads, StayInsideTheCallersBuffer) {
    LinkOnPty link(0);
    ASSERT_NE(link.handle, nullptr);
    link.unit.send(Bytes{0x3A, 0, 0});
    link.unit.send(Bytes(256, 'F')); // 256 payload bytes, no terminating zero
    auto text = std::make_unique<char[]>(QOR_TEXT_BUFFER_SIZE);
    EXPECT_EQ(QorReadFormula(link.handle, 3, text.get()), 0);
    EXPECT_EQ(std::string(text.get()), std::string(256, 'F'));
}

struct ShortReply {
    const char *legend;
    int32_t protocol;
    Bytes reply;
    friend void PrintTo(const ShortReply &value, std::ostream *out) { *out << value.legend; }
};

class ShortReplies : public testing::TestWithParam<ShortReply> {};

// What an earlier reply left in the receive buffer must never come back as a result.
TEST_P(ShortReplies, GiveZeroOrEmpty) {
    LinkOnPty link(GetParam().protocol);
    ASSERT_NE(link.handle, nullptr);
    const bool binary = GetParam().protocol == 0;
    link.unit.send(binary
                       ? frame_reply(0, real_bytes(42.5F))
                       : Bytes{'~', '0', '0', ' ', '0', '0', '3', ' ', '4', '2', '.', '5', '\r'});
    float value = 0.0F;
    ASSERT_EQ(QorReadChannel(link.handle, 3, &value), 0);
    ASSERT_EQ(value, 42.5F);

    link.unit.send(GetParam().reply);
    value = -1.0F;
    EXPECT_EQ(QorReadChannel(link.handle, 3, &value), 0);
    EXPECT_EQ(value, 0.0F);
    link.unit.send(GetParam().reply);
    char text[QOR_TEXT_BUFFER_SIZE] = "stale";
    EXPECT_EQ(QorReadFormula(link.handle, 3, text), 0);
    EXPECT_STREQ(text, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortReplies,
    testing::Values(ShortReply{"FrameOfOneByte", 0, {0x3A, 0, 1, 0}},
                    ShortReply{"LineWithoutFields", 1, {'~', '0', '0', '\r'}},
                    ShortReply{"LineEndingInFieldA", 1, {'~', '0', '0', ' ', '1', '\r'}}),
    [](const testing::TestParamInfo<ShortReply> &param) { return param.param.legend; });

// The two serial time-outs: each costs the one-second read limit.
TEST(TimeOuts, NoReplyLineIs259AndALateReplyIsNotTakenForTheNext) {
    LinkOnPty link(1);
    ASSERT_NE(link.handle, nullptr);
    link.unit.send(std::string("~00 003 1")); // no carriage return comes in time
    float value = 7.0F;
    EXPECT_EQ(QorReadChannel(link.handle, 3, &value), QOR_ERR_NO_RESPONSE);
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(g_handler_calls, 1);
    EXPECT_EQ(link.unit.read_line(), "~C1 3\r");

    link.unit.send(line_reply("00 003 9.5")); // the late reply to the request given up on
    std::thread unit([&link] {
        if (link.unit.read_line() == "~C1 4\r") {
            link.unit.send(line_reply("00 004 1.5"));
        }
    });
    EXPECT_EQ(QorReadChannel(link.handle, 4, &value), 0);
    unit.join();
    EXPECT_EQ(value, 1.5F);
}

TEST(TimeOuts, ShortFramePayloadIs265) {
    LinkOnPty link(0);
    ASSERT_NE(link.handle, nullptr);
    link.unit.send(Bytes{0x3A, 0, 4, 0, 0});
    float value = 7.0F;
    EXPECT_EQ(QorReadChannel(link.handle, 3, &value), QOR_ERR_BAD_LENGTH);
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(g_handler_calls, 1);
}

// A unit that went away is "no reply", not an endless loop of empty reads.
TEST(HangUp, CountsAsNothingArrived) {
    LinkOnPty link(1);
    ASSERT_NE(link.handle, nullptr);
    link.unit.hang_up();
    float value = 7.0F;
    EXPECT_EQ(QorReadChannel(link.handle, 3, &value), QOR_ERR_NO_RESPONSE);
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(QorClose(link.handle), 0);
}

} // namespace
