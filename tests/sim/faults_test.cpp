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
    for (const char c : noise)
        ASSERT_GE(static_cast<unsigned char>(c), 0x80);
    EXPECT_FALSE(unitSerialLine(Options{}) == unitUsbLine());
}

// The replies the unit gives `requests` (bytes of one request each) through `faults`.
std::vector<std::string> replies(TestUnit &t, FaultInjector &faults,
                                 const std::vector<std::string> &requests,
                                 Transport transport = Transport::Serial) {
    std::vector<std::string> out;
    for (const std::string &bytes : requests) {
        RequestReader reader;
        std::vector<Request> parsed;
        reader.feed(bytes, t.now, parsed);
        out.push_back(parsed.size() == 1 ? faults.answerOrRefuse(*t.unit, parsed[0], transport)
                                         : "<no request>");
    }
    return out;
}

TEST(Faults, RefusesExactlyTheCommandsSetToFailAndCarriesNoneOut) {
    TestUnit t;
    FaultInjector faults(withFaults("--fail-command PB"));
    // The write is refused and not carried out: the zero read back is still the preset's.
    EXPECT_EQ(replies(t, faults, {"~PB 1 0.5\r", "~PD 1\r"}),
              (std::vector<std::string>{"~18\r", "~00   1 0.000000\r"}));

    ASSERT_TRUE(applyControl(*t.unit, faults, "fail PD 2").ok);
    EXPECT_EQ(
        replies(t, faults, {"~PD 1\r", "~PE 1\r", "~PD 2\r", "~PD 3\r"}),
        (std::vector<std::string>{"~18\r", "~00   1 0.050000\r", "~18\r", "~00   3 0.000000\r"}))
        << "two zero reads fail, then the count is spent";

    // A frame is named by its code, and refused as a frame; over USB a line's refusal is one too.
    ASSERT_TRUE(applyControl(*t.unit, faults, "fail 33").ok);
    EXPECT_EQ(replies(t, faults, {std::string(":\x21\x01\x01", 4)}),
              (std::vector<std::string>{std::string(":\x12\x01\x00", 4)}));
    EXPECT_EQ(replies(t, faults, {"~PB 1 0.5\r"}, Transport::Usb),
              (std::vector<std::string>{std::string(":\x12\x01\x00", 4)}));

    ASSERT_TRUE(applyControl(*t.unit, faults, "fail off").ok);
    EXPECT_EQ(replies(t, faults, {"~PB 1 0.5\r", "~PD 1\r"}),
              (std::vector<std::string>{"~00\r", "~00   1 0.500000\r"}));
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
        {"fail PD", true},        {"fail 43 3", true},       {"fail off", true},
        {"fail", false},          {"fail PDX", false},       {"fail PD 0", false},
        {"fail PD x", false},     {"fail PD 1 2", false},    {"fail off now", false},
    };
    FaultInjector faults(Options{});
    for (const Case &c : cases)
        EXPECT_EQ(applyControl(*t.unit, faults, c.line).ok, c.ok) << c.line;
    ControlOutcome status = applyControl(*t.unit, faults, "status");
    EXPECT_EQ(status.text.rfind("qorsim: scan on, part master2", 0), 0u) << status.text;
    EXPECT_TRUE(applyControl(*t.unit, faults, "quit").quit);
}

} // namespace
} // namespace qorsim
