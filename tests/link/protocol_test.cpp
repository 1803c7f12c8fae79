// The protocol core without file descriptors: reply assembly and framing fed from byte tables,
// field and number reading, request formatting.
#include "errors.h"
#include "protocol.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using qor::Reply;

// Serves bytes as a transport would: at most what is left, never more.
struct Script {
    std::string bytes;
    std::size_t at = 0;
    std::size_t operator()(uint8_t *out, std::size_t count, int32_t &) {
        const std::size_t served = std::min(count, bytes.size() - at);
        std::memcpy(out, bytes.data() + at, served);
        at += served;
        return served;
    }
};

struct LineCase {
    const char *legend;
    std::string bytes;
    int32_t error;
    std::string text;
    friend void PrintTo(const LineCase &value, std::ostream *out) { *out << value.legend; }
};

class ReplyLine : public testing::TestWithParam<LineCase> {};

TEST_P(ReplyLine, Assembles) {
    Reply reply;
    Script script{GetParam().bytes};
    EXPECT_EQ(qor::read_line(reply, script), GetParam().error);
    if (GetParam().error != qor::kNoResponse) {
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(reply.bytes.data()), reply.length),
                  GetParam().text);
        EXPECT_EQ(reply.bytes[reply.length], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyLine,
    testing::Values(LineCase{"plain", "~00 003 1.5\r", 0, "00 003 1.5"},
                    LineCase{"leading_garbage", "\x01zz\r\n 07~00 abc\r", 0, "00 abc"},
                    LineCase{"line_feeds_dropped", "~00\n 1\n2\r", 0, "00 12"},
                    LineCase{"second_tilde_restarts", "~12 abc~00 ok\r", 0, "00 ok"},
                    LineCase{"control_bytes_dropped", std::string("~00\x07 A\x00\x1f\r", 9), 0,
                             "00 A"},
                    LineCase{"high_bytes_kept", "~00 \xb0\r", 0, "00 \xb0"},
                    LineCase{"unit_error", "~17 003\r", 17, "17 003"},
                    LineCase{"library_range_number", "~265\r", 265, "265"},
                    LineCase{"not_a_number_is_0", "~ab 1\r", 0, "ab 1"},
                    LineCase{"leading_blank_before_number", "~ 12\r", 12, " 12"},
                    LineCase{"empty_line", "~\r", 0, ""},
                    LineCase{"overlong_keeps_253", "~00 " + std::string(300, 'x') + "\r", 0,
                             "00 " + std::string(250, 'x')},
                    LineCase{"error_beyond_32_bits_is_no_success", "~99999999999999999999999\r",
                             INT32_MAX, "99999999999999999999999"},
                    LineCase{"negative_error_beyond_32_bits", "~-99999999999999999999999 1\r",
                             INT32_MIN, "-99999999999999999999999 1"},
                    LineCase{"no_carriage_return", "~00 003", qor::kNoResponse, ""},
                    LineCase{"carriage_return_before_tilde_ignored", "\r\r", qor::kNoResponse, ""},
                    LineCase{"nothing", "", qor::kNoResponse, ""}),
    [](const testing::TestParamInfo<LineCase> &param) { return param.param.legend; });

struct FrameCase {
    const char *legend;
    std::string bytes;
    int32_t error;
    std::size_t length;
    friend void PrintTo(const FrameCase &value, std::ostream *out) { *out << value.legend; }
};

class ReplyFrame : public testing::TestWithParam<FrameCase> {};

TEST_P(ReplyFrame, Frames) {
    Reply reply;
    Script script{GetParam().bytes};
    EXPECT_EQ(qor::read_frame(reply, script), GetParam().error);
    EXPECT_EQ(reply.length, GetParam().length);
    // Whatever was announced was consumed, so nothing is left to spoil the next reply.
    if (GetParam().error != qor::kBadLength) {
        EXPECT_EQ(script.at, script.bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyFrame,
    testing::Values(FrameCase{"complete", std::string("\x3A\x00\x02\xAA\xBB", 5), 0, 2},
                    FrameCase{"length_0_means_256",
                              std::string("\x3A\x00\x00", 3) + std::string(256, 'x'), 0, 256},
                    FrameCase{"unit_error_payload_read", std::string("\x3A\x0C\x01\x00", 4), 12, 1},
                    FrameCase{"short_header", std::string("\x3A\x00", 2), qor::kBadLength, 0},
                    FrameCase{"short_payload", std::string("\x3A\x00\x04\x01\x02", 5),
                              qor::kBadLength, 0},
                    FrameCase{"short_payload_beats_unit_error", std::string("\x3A\x0A\x04\x01", 4),
                              qor::kBadLength, 0},
                    FrameCase{"nothing", "", qor::kBadLength, 0}),
    [](const testing::TestParamInfo<FrameCase> &param) { return param.param.legend; });

TEST(ReplyFields, LineFieldsSitAt3_7_11AndShortRepliesGiveEmpty) {
    Reply reply;
    Script script{"~00 005 200 017 tail\r"};
    ASSERT_EQ(qor::read_line(reply, script), 0);
    EXPECT_EQ(reply.field(qor::Field::A), "005 200 017 tail");
    EXPECT_EQ(reply.field(qor::Field::B), "200 017 tail");
    EXPECT_EQ(reply.field(qor::Field::C), "017 tail");

    Script short_script{"~00 5\r"};
    ASSERT_EQ(qor::read_line(reply, short_script), 0);
    EXPECT_EQ(reply.field(qor::Field::A), "5");
    EXPECT_EQ(reply.field(qor::Field::B), "");
    EXPECT_EQ(qor::parse_real(reply.field(qor::Field::B)), 0.0F);
}

TEST(ReplyFields, FramedFieldsSitAtPayload0_4_8AndStopAtZero) {
    Reply reply;
    Script script{std::string("\x3A\x00\x0D"
                              "005 200 017\0z",
                              16)};
    ASSERT_EQ(qor::read_frame(reply, script), 0);
    EXPECT_EQ(reply.field(qor::Field::A), "005 200 017");
    EXPECT_EQ(reply.field(qor::Field::C), "017");
    EXPECT_EQ(qor::payload_text(reply), "005 200 017");
    // Values beyond the payload read as 0, never as what an earlier reply left in the buffer.
    EXPECT_EQ(qor::payload_le16(reply, 12), 0);
    EXPECT_EQ(qor::payload_real(reply, 10), 0.0F);
    EXPECT_EQ(qor::payload_byte(reply, 13), 0);
}

TEST(Numbers, IntegersAsFarAsTheyGo) {
    const std::pair<const char *, int32_t> cases[] = {
        {"00", 0},
        {" 12", 12},
        {"+5", 5},
        {"-3x", -3},
        {"abc", 0},
        {"", 0},
        {"007 1", 7},
        {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
        {"99999999999999999999999", INT32_MAX},
        {"-99999999999999999999999x", INT32_MIN},
    };
    for (const auto &[text, value] : cases) {
        EXPECT_EQ(qor::parse_int(text), value) << text;
    }
}

TEST(Numbers, RealsAsFarAsTheyGoInAnyLocale) {
    // A client that set a locale with a decimal comma must not change what the unit means.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::pair<const char *, float> cases[] = {
        {"1.5", 1.5F}, {" -12.25 x", -12.25F}, {"+0.5", 0.5F}, {"abc", 0.0F},
        {"", 0.0F},    {"1e3", 1000.0F},       {"3,5", 3.0F},
    };
    for (const auto &[text, value] : cases) {
        EXPECT_EQ(qor::parse_real(text), value) << text;
    }
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Requests, RealArgumentsHaveSixDecimalsLikePrintf) {
    for (const float value : {1.5F, -0.0001F, 0.1F, 123456.789F, 1e10F, -0.0F}) {
        qor::Request request;
        request.begin_line("CB");
        request.put_real_argument(value);
        char expected[64];
        std::snprintf(expected, sizeof expected, "~CB %f", static_cast<double>(value));
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(request.data()), request.size()),
                  expected);
    }
}

TEST(Requests, LinesAndFramesRefuseWhatDoesNotFit) {
    qor::Request request;
    request.begin_line("C4");
    request.put_chars(std::string(252, 'x'));
    EXPECT_TRUE(request.finish_line()); // "~C4", 252 characters and "\r": 256 bytes
    request.begin_line("C4");
    request.put_chars(std::string(253, 'x'));
    EXPECT_FALSE(request.finish_line());

    request.begin_frame(2);
    request.put_chars(std::string(255, 'x'));
    ASSERT_TRUE(request.finish_frame());
    EXPECT_EQ(request.size(), 258u);
    EXPECT_EQ(request.data()[2], 255);
    request.begin_frame(2);
    request.put_chars(std::string(256, 'x'));
    EXPECT_FALSE(request.finish_frame());
}

TEST(ErrorTexts, WholeTable) {
    const std::pair<int32_t, const char *> cases[] = {
        {10, "Bad channel number"},
        {11, "Unknown error:0000000B"},
        {12, "Invalid formula"},
        {13, "Invalid formula"},
        {14, "Too many or too complex formulae"},
        {15, "Invalid probe number"},
        {16, "Invalid formula"},
        {17, "Invalid number in formula"},
        {18, "Invalid symbol"},
        {19, "Formula too complex"},
        {20, "Circular channel definition"},
        {21, "Memory full"},
        {22, "Invalid formula"},
        {23, "Invalid range in GOR or LOR function"},
        {24, "Unknown error:00000018"},
        {257, "USB DLL could not be opened"},
        {258, "USB DLL entry point missing"},
        {259, "QOR did not respond to command"},
        {260, "Invalid Qor Handle"},
        {261, "Qor port could not be closed"},
        {262, "USB DLL could not be opened"},
        {263, "USB DLL could not be opened"},
        {264, "Error sending data to Qor"},
        {265, "Unexpected message length"},
        {266, "Command not available in current protocol"},
        {267, "Command too long"},
        {0, "Unknown error:00000000"},
        {-1, "Unknown error:FFFFFFFF"},
    };
    for (const auto &[number, text] : cases) {
        char buffer[qor::kErrorTextSize];
        qor::describe_error(number, buffer);
        EXPECT_STREQ(buffer, text) << number;
    }
}

} // namespace
