// Every operation export in both protocols against a unit played on the master side of a pty:
// the exact request bytes, the parsed results, results untouched on error, one handler call per
// failure, 266 for operations without a protocol-0 form, no traffic for those without a
// protocol-1 form.
#include "link_fixture.h"

#include <cstring>
#include <functional>
#include <string>

namespace {

struct Results {
    float real = -777.0F;
    int32_t i32 = -7777;
    int16_t i16[2] = {-77, -77};
    uint8_t u8[2] = {0x77, 0x77};
    int16_t words[3] = {-7, -7, -7};
    char text[QOR_TEXT_BUFFER_SIZE];

    Results() {
        std::memset(text, '#', sizeof text);
        text[sizeof text - 1] = '\0';
    }
    bool operator==(const Results &) const = default;
};

using Call = std::function<int32_t(QorHandle, Results &)>;
using Expect = std::function<void(Results &)>;

struct Row {
    std::string name;
    Call call;
    Bytes request0; // empty: no protocol-0 form
    Bytes payload0;
    Expect expect0;
    std::string request1; // empty: no protocol-1 form
    std::string reply1;   // text of the unit's reply line
    Expect expect1;
    friend void PrintTo(const Row &value, std::ostream *out) { *out << value.name; }
};

const Expect kNothing = [](Results &) {
};

Bytes cat(Bytes head, const Bytes &tail) {
    for (const uint8_t byte : tail) {
        head.push_back(byte);
    }
    return head;
}

Bytes frame(uint8_t code, const Bytes &payload) {
    return cat({0x3A, code, static_cast<uint8_t>(payload.size())}, payload);
}

using SetReal = int32_t(QORAPI *)(QorHandle, int32_t, const float *);
using ReadReal = int32_t(QORAPI *)(QorHandle, int32_t, float *);

// code -1: the operation has no protocol-0 form.
Row set_real(const char *name, SetReal set, int code, const std::string &command) {
    return {name,
            [set](QorHandle h, Results &) {
                const float value = 1.5F;
                return set(h, 3, &value);
            },
            code < 0 ? Bytes{} : frame(static_cast<uint8_t>(code), cat({3}, real_bytes(1.5F))),
            {0},
            kNothing,
            "~" + command + " 3 1.500000\r",
            "00",
            kNothing};
}

Row read_real(const char *name, ReadReal read, int code, const std::string &command) {
    return {name,
            [read](QorHandle h, Results &r) { return read(h, 3, &r.real); },
            code < 0 ? Bytes{} : frame(static_cast<uint8_t>(code), {3}),
            real_bytes(2.25F),
            [](Results &r) { r.real = 2.25F; },
            "~" + command + " 3\r",
            "00 003 -12.5",
            [](Results &r) {
                r.real = -12.5F;
            }};
}

// An operation without arguments or results.
Row plain(const char *name, int32_t(QORAPI *op)(QorHandle), int code, const std::string &line) {
    return {name,
            [op](QorHandle h, Results &) { return op(h); },
            code < 0 ? Bytes{} : frame(static_cast<uint8_t>(code), {0}),
            {0},
            kNothing,
            line,
            "00",
            kNothing};
}

using SetShort = int32_t(QORAPI *)(QorHandle, int32_t);
using GetShort = int32_t(QORAPI *)(QorHandle, int16_t *);

// A 16-bit setting without a probe byte; 65534 proves the value is taken as signed 16 bits.
Row set_short(const char *name, SetShort set, int code, const std::string &command) {
    return {name,
            [set](QorHandle h, Results &) { return set(h, 65534); },
            code < 0 ? Bytes{} : frame(static_cast<uint8_t>(code), {0xFE, 0xFF}),
            {0},
            kNothing,
            command.empty() ? "" : "~" + command + " -2\r",
            "00",
            kNothing};
}

Row get_short(const char *name, GetShort get, int code, const std::string &command) {
    return {name,
            [get](QorHandle h, Results &r) { return get(h, &r.i16[0]); },
            code < 0 ? Bytes{} : frame(static_cast<uint8_t>(code), {0}),
            {0x34, 0x12},
            [](Results &r) { r.i16[0] = 0x1234; },
            command.empty() ? "" : "~" + command + "\r",
            "00 -300",
            [command](Results &r) {
                r.i16[0] = command.empty() ? 0 : -300;
            }};
}

std::vector<Row> rows() {
    const auto text = [](const char *value) {
        return [value](Results &r) {
            std::strcpy(r.text, value);
        };
    };
    return {
        {"DefineChannel",
         [](QorHandle h, Results &) { return QorDefineChannel(h, 3, "P1+P2"); },
         frame(3, {3, 'P', '1', '+', 'P', '2', 0}),
         {0},
         kNothing,
         "~C4 3 P1+P2\r",
         "00",
         kNothing},
        {"DefineChannelEmptyClears",
         [](QorHandle h, Results &) { return QorDefineChannel(h, 3, ""); },
         frame(6, {3}),
         {0},
         kNothing,
         "~C4 3 \r",
         "00",
         kNothing},
        {"DefineChannelNullClears",
         [](QorHandle h, Results &) { return QorDefineChannel(h, 3, nullptr); },
         frame(6, {3}),
         {0},
         kNothing,
         "~C4 3 \r",
         "00",
         kNothing},
        {"ReadFormula",
         [](QorHandle h, Results &r) { return QorReadFormula(h, 3, r.text); },
         frame(13, {3}),
         {'P', '1', '+', 'P', '2', 0, 'x'},
         text("P1+P2"),
         "~CF 3\r",
         "00 003 P1 + P2",
         text("P1 + P2")},
        read_real("ReadChannel", QorReadChannel, 4, "C1"),
        plain("ClearAllChannels", QorClearAllChannels, 5, "~C5\r"),
        {"ClearChannelLowByte",
         [](QorHandle h, Results &) { return QorClearChannel(h, 300); },
         frame(6, {44}),
         {0},
         kNothing,
         "~C6 300\r",
         "00",
         kNothing},
        plain("ResetMM", QorResetMM, 9, "~C9\r"),
        set_real("SetCzero", QorSetCzero, 52, "CB"),
        read_real("ReadCzero", QorReadCzero, 53, "CD"),
        set_real("SetCscale", QorSetCscale, 54, "CC"),
        read_real("ReadCscale", QorReadCscale, 55, "CE"),
        set_real("SetMaster1", QorSetMaster1, -1, "CG"),
        read_real("ReadMaster1", QorReadMaster1, -1, "CJ"),
        set_real("SetMaster2", QorSetMaster2, -1, "CH"),
        read_real("ReadMaster2", QorReadMaster2, -1, "CK"),
        {"SetUse2Masters",
         [](QorHandle h, Results &) { return QorSetUse2Masters(h, 3, 1); },
         {},
         {},
         kNothing,
         "~CI 3 1\r",
         "00",
         kNothing},
        {"ReadUse2Masters",
         [](QorHandle h, Results &r) { return QorReadUse2Masters(h, 3, &r.i32); },
         {},
         {},
         kNothing,
         "~CL 3\r",
         "00 003 -1",
         [](Results &r) {
             r.i32 = -1;
         }},
        {"SetChannelDesc",
         [](QorHandle h, Results &) { return QorSetChannelDesc(h, 3, "Bore A"); },
         {},
         {},
         kNothing,
         "~CM 3 Bore A\r",
         "00",
         kNothing},
        {"ReadChannelDesc",
         [](QorHandle h, Results &r) { return QorReadChannelDesc(h, 3, r.text); },
         {},
         {},
         kNothing,
         "~CN 3\r",
         "00 003 Bore A",
         text("Bore A")},
        set_real("SetBarScaleTop", QorSetBarScaleTop, -1, "CO"),
        read_real("ReadBarScaleTop", QorReadBarScaleTop, -1, "CT"),
        set_real("SetBarScaleBottom", QorSetBarScaleBottom, -1, "CY"),
        read_real("ReadBarScaleBottom", QorReadBarScaleBottom, -1, "CZ"),
        set_real("SetHiApproach", QorSetHiApproach, -1, "CP"),
        read_real("ReadHiApproach", QorReadHiApproach, -1, "CU"),
        set_real("SetHiTolerance", QorSetHiTolerance, -1, "CQ"),
        read_real("ReadHiTolerance", QorReadHiTolerance, -1, "CV"),
        set_real("SetLoTolerance", QorSetLoTolerance, -1, "CR"),
        read_real("ReadLoTolerance", QorReadLoTolerance, -1, "CW"),
        set_real("SetLoApproach", QorSetLoApproach, -1, "CS"),
        read_real("ReadLoApproach", QorReadLoApproach, -1, "CX"),
        // The payload stops inside the third value, which therefore reads as 0.
        {"ReadDirectCopy",
         [](QorHandle h, Results &r) {
             const uint8_t channels[] = {1, 2, 9};
             return QorReadDirectCopy(h, 3, channels, r.words);
         },
         frame(2, {1, 2, 9}),
         {0x34, 0x12, 0xFF, 0xFF, 0x05},
         [](Results &r) {
             r.words[0] = 0x1234;
             r.words[1] = -1;
             r.words[2] = 0;
         },
         "~C7\r",
         "00",
         kNothing},
        read_real("ReadLvdt", QorReadLvdt, 11, "P1"),
        set_real("SetTfsv", QorSetTfsv, 21, "PC"),
        read_real("ReadTfsv", QorReadTfsv, 22, "PE"),
        set_real("SetTzero", QorSetTzero, 32, "PB"),
        read_real("ReadTzero", QorReadTzero, 33, "PD"),
        {"ReadAnalog", [](QorHandle h, Results &r) { return QorReadAnalog(h, 3, &r.real); },
         frame(12, {3}), real_bytes(2.25F), [](Results &r) { r.real = 2.25F; }, "~C7\r", "00",
         [](Results &r) {
             r.real = 0.0F;
         }},
        {"SetAfsv",
         [](QorHandle h, Results &) {
             const float value = 1.5F;
             return QorSetAfsv(h, 3, &value);
         },
         frame(23, cat({3}, real_bytes(1.5F))),
         {0},
         kNothing,
         "~C7\r",
         "00",
         kNothing},
        {"ReadAfsv", [](QorHandle h, Results &r) { return QorReadAfsv(h, 3, &r.real); },
         frame(24, {3}), real_bytes(2.25F), [](Results &r) { r.real = 2.25F; }, "~C7\r", "00",
         [](Results &r) {
             r.real = 1.0F;
         }},
        {"SetAzero",
         [](QorHandle h, Results &) {
             const float value = 1.5F;
             return QorSetAzero(h, 3, &value);
         },
         frame(42, cat({3}, real_bytes(1.5F))),
         {0},
         kNothing,
         "~C7\r",
         "00",
         kNothing},
        {"ReadAzero", [](QorHandle h, Results &r) { return QorReadAzero(h, 3, &r.real); },
         frame(43, {3}), real_bytes(2.25F), [](Results &r) { r.real = 2.25F; }, "~C7\r", "00",
         [](Results &r) {
             r.real = 0.0F;
         }},
        {"SetLvdtGainLowBytes",
         [](QorHandle h, Results &) { return QorSetLvdtGain(h, 3, 300, 7); },
         frame(25, {3, 44, 7}),
         {0},
         kNothing,
         "~PF 3 44 7\r",
         "00",
         kNothing},
        {"ReadLvdtGain",
         [](QorHandle h, Results &r) { return QorReadLvdtGain(h, 3, &r.u8[0], &r.u8[1]); },
         frame(26, {3}),
         {5, 200},
         [](Results &r) {
             r.u8[0] = 5;
             r.u8[1] = 200;
         },
         "~PI 3\r",
         "00 003 005 200",
         [](Results &r) {
             r.u8[0] = 5;
             r.u8[1] = 200;
         }},
        {"SetLvdtFine",
         [](QorHandle h, Results &) { return QorSetLvdtFine(h, 3, 65534); },
         frame(27, {3, 0xFE, 0xFF}),
         {0},
         kNothing,
         "~PG 3 -2\r",
         "00",
         kNothing},
        {"ReadLvdtFine",
         [](QorHandle h, Results &r) { return QorReadLvdtFine(h, 3, &r.i16[0]); },
         frame(28, {3}),
         {0x18, 0xFC},
         [](Results &r) { r.i16[0] = -1000; },
         "~PJ 3\r",
         "00 003 -1000",
         [](Results &r) {
             r.i16[0] = -1000;
         }},
        {"SetLvdtNull",
         [](QorHandle h, Results &) { return QorSetLvdtNull(h, 3, 300); },
         frame(34, {3, 0x2C, 0x01}),
         {0},
         kNothing,
         "~PH 3 300\r",
         "00",
         kNothing},
        {"ReadLvdtNull",
         [](QorHandle h, Results &r) { return QorReadLvdtNull(h, 3, &r.i16[0]); },
         frame(35, {3}),
         {0x2C, 0x01},
         [](Results &r) { r.i16[0] = 300; },
         "~PK 3\r",
         "00 003 300",
         [](Results &r) {
             r.i16[0] = 300;
         }},
        {"SaveCalibration",
         [](QorHandle h, Results &r) { return QorSaveCalibration(h, &r.i16[0]); },
         frame(92, {0}),
         {1, 9},
         [](Results &r) { r.i16[0] = 1; },
         "~PW\r",
         "00 001",
         [](Results &r) {
             r.i16[0] = 1;
         }},
        {"GetSaveStatus",
         [](QorHandle h, Results &r) { return QorGetSaveStatus(h, &r.i16[0], &r.i16[1]); },
         frame(93, {0}),
         {2, 3},
         [](Results &r) {
             r.i16[0] = 2;
             r.i16[1] = 3;
         },
         "~PX\r",
         "00 002 003",
         [](Results &r) {
             r.i16[0] = 2;
             r.i16[1] = 3;
         }},
        plain("StartScan", QorStartScan, 7, "~C7\r"),
        plain("StopScan", QorStopScan, 8, "~C8\r"),
        get_short("GetScanFlag", QorGetScanFlag, -1, "Y5"),
        set_short("SetScanTime", QorSetScanTime, 10, "Y3"),
        get_short("GetScanTime", QorGetScanTime, -1, "Y4"),
        {"SetFpIn",
         [](QorHandle h, Results &) { return QorSetFpIn(h, 2); },
         frame(80, {2}),
         {0},
         kNothing,
         "",
         "",
         kNothing},
        get_short("GetFpIn", QorGetFpIn, 84, ""),
        {"SetFpOut",
         [](QorHandle h, Results &) { return QorSetFpOut(h, 258); },
         frame(81, {2}),
         {0},
         kNothing,
         "",
         "",
         kNothing},
        get_short("GetFpOut", QorGetFpOut, 85, ""),
        {"SetFpPrec",
         [](QorHandle h, Results &) { return QorSetFpPrec(h, 4); },
         frame(83, {4}),
         {0},
         kNothing,
         "~Y1 4\r",
         "00",
         kNothing},
        get_short("GetFpPrec", QorGetFpPrec, 87, "Y2"),
        set_short("Set_muxTime", QorSet_muxTime, 82, ""),
        set_short("SetAdcAvg", QorSetAdcAvg, 90, "Y7"),
        get_short("GetAdcAvg", QorGetAdcAvg, -1, "Y8"),
        set_short("SetRunAvg", QorSetRunAvg, 91, "Y9"),
        get_short("GetRunAvg", QorGetRunAvg, -1, "YA"),
        set_short("SetNumberOfChannels", QorSetNumberOfChannels, -1, "YE"),
        get_short("GetNumberOfChannels", QorGetNumberOfChannels, -1, "YG"),
        set_short("SetNumberOfProbes", QorSetNumberOfProbes, -1, "YE"),
        get_short("GetNumberOfProbes", QorGetNumberOfProbes, -1, "YG"),
        {"ReadVersion",
         [](QorHandle h, Results &r) { return QorReadVersion(h, r.text); },
         {},
         {},
         kNothing,
         "~Y6\r",
         "00 QOR-128 V6.02",
         text("QOR-128 V6.02")},
        {"SetFrequency",
         [](QorHandle h, Results &) { return QorSetFrequency(h, 2, 70000); },
         {},
         {},
         kNothing,
         "~YC 2 70000\r",
         "00",
         kNothing},
        {"ReadFrequency",
         [](QorHandle h, Results &r) { return QorReadFrequency(h, 2, &r.i32); },
         {},
         {},
         kNothing,
         "~YB 2\r",
         "00 70000",
         [](Results &r) {
             r.i32 = 70000;
         }},
        {"StoreFrequency",
         [](QorHandle h, Results &) { return QorStoreFrequency(h, 2, 5000); },
         {},
         {},
         kNothing,
         "~YD 2 5000\r",
         "00",
         kNothing},
        {"SaveSetup",
         [](QorHandle h, Results &) { return QorSaveSetup(h, "default"); },
         {},
         {},
         kNothing,
         "~Sv default\r",
         "00",
         kNothing},
        {"LoadSetup",
         [](QorHandle h, Results &) { return QorLoadSetup(h, "shaft 2"); },
         {},
         {},
         kNothing,
         "~So shaft 2\r",
         "00",
         kNothing},
        plain("ResetSetup", QorResetSetup, -1, "~Sr\r"),
        {"ListFirstSetup",
         [](QorHandle h, Results &r) { return QorListFirstSetup(h, r.text); },
         {},
         {},
         kNothing,
         "~Sd\r",
         "00 default",
         text("default")},
        {"ListNextSetup",
         [](QorHandle h, Results &r) { return QorListNextSetup(h, r.text); },
         {},
         {},
         kNothing,
         "~Se\r",
         "00 shaft 2",
         text("shaft 2")},
    };
}

using Case = std::tuple<Row, int32_t>;

bool has_form(const Row &row, int32_t protocol) {
    return protocol == 0 ? !row.request0.empty() : !row.request1.empty();
}

std::vector<Case> cases(bool only_exchanges) {
    std::vector<Case> all;
    for (const Row &row : rows()) {
        for (const int32_t protocol : {0, 1}) {
            if (!only_exchanges || has_form(row, protocol)) {
                all.emplace_back(row, protocol);
            }
        }
    }
    return all;
}

std::string case_name(const testing::TestParamInfo<Case> &param) {
    return std::get<0>(param.param).name + "_P" + std::to_string(std::get<1>(param.param));
}

class ExportTable : public testing::TestWithParam<Case> {
protected:
    const Row &row() const { return std::get<0>(GetParam()); }
    int32_t protocol() const { return std::get<1>(GetParam()); }
    bool exchanges() const { return has_form(row(), protocol()); }
};

class ExportErrors : public ExportTable {};

TEST_P(ExportTable, SendsExactRequestAndParsesReply) {
    LinkOnPty link(protocol());
    ASSERT_NE(link.handle, nullptr);
    Results results;
    Results expected;
    if (protocol() == 0 && !exchanges()) {
        EXPECT_EQ(row().call(link.handle, results), QOR_ERR_NOT_IN_PROTOCOL);
        EXPECT_EQ(g_handler_calls, 1);
        EXPECT_TRUE(results == expected);
        link.expect_nothing_sent();
        return;
    }
    if (!exchanges()) {
        EXPECT_EQ(row().call(link.handle, results), 0);
        EXPECT_EQ(g_handler_calls, 0);
        row().expect1(expected);
        EXPECT_TRUE(results == expected);
        link.expect_nothing_sent();
        return;
    }
    if (protocol() == 0) {
        link.unit.send(frame_reply(0, row().payload0));
        EXPECT_EQ(row().call(link.handle, results), 0);
        EXPECT_EQ(link.unit.read_frame(), row().request0);
        row().expect0(expected);
    } else {
        link.unit.send(line_reply(row().reply1));
        EXPECT_EQ(row().call(link.handle, results), 0);
        EXPECT_EQ(link.unit.read_line(), row().request1);
        row().expect1(expected);
    }
    EXPECT_EQ(g_handler_calls, 0);
    EXPECT_TRUE(results == expected) << "text: " << results.text;
}

TEST_P(ExportErrors, UnitErrorLeavesResultsUntouchedAndCallsHandlerOnce) {
    LinkOnPty link(protocol());
    ASSERT_NE(link.handle, nullptr);
    if (protocol() == 0) {
        link.unit.send(frame_reply(10, row().payload0));
    } else {
        link.unit.send(line_reply("10" + row().reply1.substr(2)));
    }
    Results results;
    EXPECT_EQ(row().call(link.handle, results), 10);
    EXPECT_EQ(g_handler_calls, 1);
    EXPECT_TRUE(results == Results());
    int32_t error = 0;
    char text[64];
    ASSERT_EQ(QorDecodeError(link.handle, &error, text), 0);
    EXPECT_EQ(error, 10);
    EXPECT_STREQ(text, "Bad channel number");
}

INSTANTIATE_TEST_SUITE_P(AllOperations, ExportTable, testing::ValuesIn(cases(false)), case_name);
INSTANTIATE_TEST_SUITE_P(AllExchanges, ExportErrors, testing::ValuesIn(cases(true)), case_name);

} // namespace
