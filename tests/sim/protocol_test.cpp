// Reply layouts of both protocols on both transports, byte for byte, and request assembly.
#include "test_unit.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qorsim {
namespace {

using namespace std::string_literals;

struct Exchange {
    const char *legend;
    std::string request;
    std::string reply;
};

// A unit in a known state: channel 3 = 0.0125, probe 1 amplifier 85/60 fine -20, quiet probes.
class Replies : public ::testing::Test {
protected:
    void SetUp() override {
        t.quiet();
        ASSERT_EQ(t.ask("~C4 3 0.0125\r"), "~00\r");
        ASSERT_EQ(t.ask("~PF 1 85 60\r"), "~00\r");
        ASSERT_EQ(t.ask("~PG 1 -20\r"), "~00\r");
        ASSERT_EQ(t.ask("~CM 3 Bore diameter\r"), "~00\r");
    }
    void check(const Exchange *begin, const Exchange *end, Transport transport) {
        for (const Exchange *e = begin; e != end; ++e)
            EXPECT_EQ(t.ask(e->request, transport), e->reply) << e->legend;
    }
    TestUnit t;
};

TEST_F(Replies, ProtocolOneOnASerialLine) {
    const Exchange cases[] = {
        {"channel value: number in A, real in B", "~C1 3\r", "~00   3 0.012500\r"},
        {"formula text in B", "~CF 3\r", "~00   3 0.0125\r"},
        {"description text in B", "~CN 3\r", "~00   3 Bore diameter\r"},
        {"undefined channel reads 0", "~C1 4\r", "~00   4 0.000000\r"},
        {"default scale", "~CE 3\r", "~00   3 1.000000\r"},
        {"set answers the error alone", "~CB 3 1.500000\r", "~00\r"},
        {"zero read back", "~CD 3\r", "~00   3 1.500000\r"},
        {"value with zero", "~C1 3\r", "~00   3 1.512500\r"},
        {"negative real", "~CG 3 -0.250000\r", "~00\r"},
        {"master read back", "~CJ 3\r", "~00   3 -0.250000\r"},
        {"switch in B", "~CL 3\r", "~00   3 0\r"},
        {"probe reading", "~P1 2\r", "~00   2 -0.010000\r"},
        {"gain: B and C", "~PI 1\r", "~00   1 085 060\r"},
        {"fine gain", "~PJ 1\r", "~00   1 -20\r"},
        {"full scale", "~PE 1\r", "~00   1 0.050000\r"},
        {"save status before any store: A and B", "~PX\r", "~00   1   0\r"},
        {"result in A", "~YG\r", "~00 128\r"},
        {"scan flag", "~Y5\r", "~00 1\r"},
        {"scan time", "~Y4\r", "~00 50\r"},
        {"frequency", "~YB 2\r", "~00 5000\r"},
        {"version text in A", "~Y6\r", "~00 QOR-128 qorsim 1.0\r"},
        {"no setup stored", "~Sd\r", "~00\r"},
        {"unknown command", "~ZZ\r", "~18\r"},
        {"command letters are case-sensitive", "~c1 3\r", "~18\r"},
        {"missing argument", "~C1\r", "~18\r"},
        {"non-numeric argument", "~CB 3 abc\r", "~18\r"},
        {"channel outside the count", "~C1 129\r", "~10\r"},
        {"channel zero", "~CD 0\r", "~10\r"},
        {"probe outside the installed ones", "~P1 9\r", "~15\r"},
        {"formula error", "~C4 5 P1+\r", "~16\r"},
        {"unknown setup", "~So nothing\r", "~18\r"},
        {"calibration store starts", "~PW\r", "~00 0\r"},
        {"busy after the store", "~PX\r", "~00   0   0\r"},
    };
    check(std::begin(cases), std::end(cases), Transport::Serial);
}

// A number too large for its field must not wrap into one that fits: 4294967297 is not channel 1.
// Each refused request leaves the unit as it was.
TEST_F(Replies, NumbersThatDoNotFitTheirFieldAreRefused) {
    const Exchange cases[] = {
        {"channel beyond 32 bits", "~C1 4294967297\r", "~10\r"},
        {"channel beyond 64 bits", "~CB 99999999999999999999 1.0\r", "~10\r"},
        {"negative channel beyond 32 bits", "~CD -4294967293\r", "~10\r"},
        {"probe beyond 32 bits", "~PE 4294967297\r", "~15\r"},
        {"frequency beyond 32 bits", "~YC 2 4294967297\r", "~18\r"},
        {"frequency index beyond 32 bits", "~YC 4294967298 7000\r", "~18\r"},
        {"frequency kept", "~YB 2\r", "~00 5000\r"},
        {"scan time beyond 16 bits", "~Y3 65537\r", "~18\r"},
        {"scan time kept", "~Y4\r", "~00 50\r"},
        {"fine gain beyond 16 bits", "~PG 1 65516\r", "~18\r"},
        {"fine gain kept", "~PJ 1\r", "~00   1 -20\r"},
        {"switch beyond 16 bits", "~CI 3 65536\r", "~18\r"},
        {"switch kept", "~CL 3\r", "~00   3 0\r"},
        {"gain beyond a byte", "~PF 1 300 60\r", "~18\r"},
        {"negative gain", "~PF 1 85 -1\r", "~18\r"},
        {"gain kept", "~PI 1\r", "~00   1 085 060\r"},
        {"real beyond single precision", "~CB 3 1e39\r", "~18\r"},
        {"zero kept", "~CD 3\r", "~00   3 0.000000\r"},
        {"largest fitting values still taken", "~Y3 32767\r", "~00\r"},
        {"largest scan time read back", "~Y4\r", "~00 32767\r"},
    };
    check(std::begin(cases), std::end(cases), Transport::Serial);
}

TEST_F(Replies, ProtocolOneOverUsbCarriesTheTextFromFieldA) {
    const Exchange cases[] = {
        {"value", "~C1 3\r", ":\x00\x0c  3 0.012500"s},
        {"gain", "~PI 1\r", ":\x00\x0b  1 085 060"s},
        {"result in A", "~YG\r",
         ":\x00\x03"s
         "128"},
        {"set: one filler byte", "~CB 3 1.0\r", ":\x00\x01\x00"s},
        {"error: one filler byte", "~ZZ\r", ":\x12\x01\x00"s},
        {"bad channel", "~C1 0\r", ":\x0a\x01\x00"s},
    };
    check(std::begin(cases), std::end(cases), Transport::Usb);
}

TEST_F(Replies, ProtocolZeroFramesAreBinary) {
    const Exchange cases[] = {
        {"channel value as a single", ":\x04\x01\x03"s, ":\x00\x04\xcd\xcc\x4c\x3c"s},
        {"formula with its zero byte", ":\x0d\x01\x03"s,
         ":\x00\x07"
         "0.0125\x00"s},
        {"gain bytes", ":\x1a\x01\x01"s, ":\x00\x02\x55\x3c"s},
        {"fine gain 16-bit", ":\x1c\x01\x01"s, ":\x00\x02\xec\xff"s},
        {"set zero 1.5 on channel 3", ":\x34\x05\x03\x00\x00\xc0\x3f"s, ":\x00\x01\x00"s},
        {"zero read back", ":\x35\x01\x03"s, ":\x00\x04\x00\x00\xc0\x3f"s},
        {"direct copy: value in precision units", ":\x02\x01\x04"s, ":\x00\x02\x00\x00"s},
        {"front-panel input", ":\x54\x01\x00"s, ":\x00\x02\x00\x00"s},
        {"save status", ":\x5d\x01\x00"s, ":\x00\x02\x01\x00"s},
        {"calibration store status byte", ":\x5c\x01\x00"s, ":\x00\x01\x00"s},
        {"define channel 4", ":\x03\x06\x04P2*2\x00"s, ":\x00\x01\x00"s},
        {"probe reading feeds it", ":\x04\x01\x04"s, ":\x00\x04\x0a\xd7\xa3\xbc"s},
        {"analog full scale", ":\x18\x01\x01"s, ":\x00\x04\x00\x00\x80\x3f"s},
        {"clear channel 4", ":\x06\x01\x04"s, ":\x00\x01\x00"s},
        {"unknown code", ":\x63\x01\x00"s, ":\x12\x01\x00"s},
        {"bad probe", ":\x0b\x01\x09"s, ":\x0f\x01\x00"s},
        {"short payload", ":\x34\x02\x03\x00"s, ":\x12\x01\x00"s},
        {"master has no protocol-0 form", ":\x00\x01\x00"s, ":\x12\x01\x00"s},
    };
    check(std::begin(cases), std::end(cases), Transport::Serial);
}

TEST_F(Replies, DirectCopyScalesByPrecision) {
    ASSERT_EQ(t.ask("~Y1 4\r"), "~00\r");
    EXPECT_EQ(t.ask(":\x02\x02\x03\x03"s), ":\x00\x04\x7d\x00\x7d\x00"s);
    EXPECT_EQ(t.ask(":\x02\x01\xff"s), ":\x0a\x01\x00"s);
}

TEST_F(Replies, LongTextsFitTheFrame) {
    std::string description(300, 'd');
    ASSERT_EQ(t.ask("~CM 1 " + description + "\r"), "~00\r");
    std::string usb = t.ask("~CN 1\r", Transport::Usb);
    EXPECT_EQ(usb.size(), 3u + 256u);
    EXPECT_EQ(usb[2], '\0'); // 0 announces 256 bytes
}

struct Assembly {
    const char *legend;
    std::string stream;
    std::vector<std::string> bodies;
};

TEST(RequestReader, SplitsAStreamIntoRequests) {
    const Assembly cases[] = {
        {"one line", "~C1 3\r", {"C1 3"}},
        {"leading garbage", "xx\n~Y6\r", {"Y6"}},
        {"line feeds dropped", "~C1\n 3\r\n", {"C1 3"}},
        {"second tilde starts over", "~C1 ~Y6\r", {"Y6"}},
        {"two lines", "~Y6\r~YG\r", {"Y6", "YG"}},
        {"frame with return in its payload",
         ":\x34\x05\x03\r\x00\x00\x00~Y6\r"s,
         {"\x34\x03\r\x00\x00\x00"s, "Y6"}},
        {"unfinished line", "~C1 3", {}},
    };
    for (const Assembly &c : cases) {
        RequestReader reader;
        std::vector<Request> out;
        reader.feed(c.stream, 0.0, out);
        std::vector<std::string> bodies;
        for (const Request &r : out)
            bodies.push_back(r.body);
        EXPECT_EQ(bodies, c.bodies) << c.legend;
    }
}

struct Arrival {
    double at; // seconds
    std::string bytes;
};

struct Timed {
    const char *legend;
    std::vector<Arrival> arrivals;
    std::vector<std::string> bodies;
};

TEST(RequestReader, FrameWhoseBytesStopComingIsDropped) {
    const Timed cases[] = {
        {"cut frame dropped, the line after the gap is read",
         {{0.0, ":\x34\x08\x03"s}, {0.15, "~C1 3\r"}},
         {"C1 3"}},
        {"cut frame dropped, the frame after the gap is read",
         {{0.0, ":\x34\x08\x03"s}, {0.5, ":\x04\x01\x03"s}},
         {"\x04\x03"s}},
        {"bytes within the gap continue the frame",
         {{0.0, ":\x34\x05\x03"s}, {0.05, "\x00\x00\xc0\x3f"s}},
         {"\x34\x03\x00\x00\xc0\x3f"s}},
        {"the gap counts from the last byte",
         {{0.0, ":\x34"s}, {0.08, "\x05\x03"s}, {0.16, "\x00\x00"s}, {0.24, "\xc0\x3f"s}},
         {"\x34\x03\x00\x00\xc0\x3f"s}},
        {"lines know no gap", {{0.0, "~C1"}, {5.0, " 3\r"}}, {"C1 3"}},
    };
    for (const Timed &c : cases) {
        RequestReader reader;
        std::vector<Request> out;
        for (const Arrival &arrival : c.arrivals)
            reader.feed(arrival.bytes, 100.0 + arrival.at, out);
        std::vector<std::string> bodies;
        for (const Request &r : out)
            bodies.push_back(r.body);
        EXPECT_EQ(bodies, c.bodies) << c.legend;
    }
}

TEST(RequestReader, JoinsRequestsSplitAcrossReads) {
    RequestReader reader;
    std::vector<Request> out;
    for (char c : ":\x04\x01\x03~C1 3\r"s)
        reader.feed(std::string(1, c), 0.0, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_TRUE(out[0].framed);
    EXPECT_EQ(out[0].raw, ":\x04\x01\x03"s);
    EXPECT_EQ(out[1].raw, "~C1 3\r");
}

} // namespace
} // namespace qorsim
