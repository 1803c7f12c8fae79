// Fault decisions, line noise, the exchange log's escapes and the control lines.
#include "control.h"
#include "exchange_log.h"
#include "faults.h"
#include "test_unit.h"

#include <gtest/gtest.h>

namespace qorsim {
namespace {

Options withFaults(const std::string &text) {
    OptionsResult r = parseOptions(splitOptionString(text));
    EXPECT_EQ(r.error, "");
    return r.options;
}

TEST(Faults, CountsRequestsForSilenceAndHangUp) {
    FaultInjector silent(withFaults("--silent-after 2"));
    EXPECT_TRUE(silent.respondsTo());
    EXPECT_TRUE(silent.respondsTo());
    EXPECT_FALSE(silent.respondsTo());
    EXPECT_FALSE(silent.hungUp());

    FaultInjector hangup(withFaults("--hangup-after 1"));
    EXPECT_FALSE(hangup.hungUp());
    EXPECT_TRUE(hangup.respondsTo());
    EXPECT_TRUE(hangup.hungUp());
    EXPECT_FALSE(hangup.respondsTo());

    FaultInjector plain(Options{});
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(plain.respondsTo());
    EXPECT_EQ(plain.shape("~00\r"), "~00\r");
}

TEST(Faults, DropsAndGarblesReplies) {
    FaultInjector drop(withFaults("--drop-rate 1"));
    EXPECT_EQ(drop.shape("~00 5\r"), "");

    FaultInjector garble(withFaults("--garble-rate 1 --seed 11"));
    const std::string reply = "~00   3 0.012500\r";
    for (int i = 0; i < 50; ++i) {
        std::string shaped = garble.shape(reply);
        ASSERT_EQ(shaped.size(), reply.size());
        int differing = 0;
        for (std::size_t k = 0; k < reply.size(); ++k)
            differing += shaped[k] != reply[k];
        EXPECT_EQ(differing, 1) << shaped;
    }

    FaultInjector half(withFaults("--drop-rate 0.5 --seed 2"));
    int dropped = 0;
    for (int i = 0; i < 1000; ++i)
        dropped += half.shape("x").empty();
    EXPECT_NEAR(dropped, 500, 60);
}

TEST(Faults, LineNoiseNeverLooksLikeAReply) {
    FaultInjector faults(Options{});
    std::string noise = faults.garbage(2000);
    ASSERT_EQ(noise.size(), 2000u);
    for (unsigned char c : noise)
        ASSERT_GE(c, 0x80);
    EXPECT_FALSE(unitSerialLine(Options{}) == unitUsbLine());
}

TEST(ExchangeLog, EscapesWhatIsNotPrintable) {
    EXPECT_EQ(readableBytes("~C1 3\r"), "~C1 3\\r");
    EXPECT_EQ(readableBytes(std::string(":\x04\x01\x00", 4)), ":\\x04\\x01\\x00");
    EXPECT_EQ(readableBytes("a\\b\n\t\xff"), "a\\\\b\\n\\t\\xFF");
}

TEST(Control, LinesSteerTheUnitOrAreRefused) {
    TestUnit t;
    struct Case {
        const char *line;
        bool ok;
    };
    const Case cases[] = {
        {"part run", true},       {"part hold", true},       {"part master2", true},
        {"master1 -0.02", true},  {"master2 0.03", true},    {"noise 0", true},
        {"probe 8 stuck", true},  {"probe 8 free", true},    {"", true},
        {"part spin", false},     {"master1 big", false},    {"noise -1", false},
        {"probe 9 stuck", false}, {"probe 1 wobble", false}, {"reboot", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(applyControl(*t.unit, c.line).ok, c.ok) << c.line;
    ControlOutcome status = applyControl(*t.unit, "status");
    EXPECT_EQ(status.text.rfind("qorsim: scan on, part master2", 0), 0u) << status.text;
    EXPECT_TRUE(applyControl(*t.unit, "quit").quit);
}

} // namespace
} // namespace qorsim
