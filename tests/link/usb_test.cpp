// The USB transport through the stand-in D2XX library, loaded by the link's real dlopen path.
#include "fake_ftd2xx.h"
#include "pty_unit.h"
#include "qorlink.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace {

int g_handler_calls = 0;

int32_t QORAPI counting_handler(QorHandle) {
    ++g_handler_calls;
    return 0;
}

class FakeDevice {
public:
    explicit FakeDevice(const char *path = FAKE_FTD2XX_PATH) {
        setenv("QORLINK_FTD2XX", path, 1);
        module_ = dlopen(path, RTLD_NOW);
        if (module_ == nullptr) {
            throw std::runtime_error(dlerror());
        }
        reset_ = reinterpret_cast<FakeReset>(dlsym(module_, "fake_reset"));
        fail_ = reinterpret_cast<FakeFail>(dlsym(module_, "fake_fail"));
        queue_ = reinterpret_cast<FakeQueueReply>(dlsym(module_, "fake_queue_reply"));
        calls_ = reinterpret_cast<FakeCalls>(dlsym(module_, "fake_calls"));
        written_ = reinterpret_cast<FakeWritten>(dlsym(module_, "fake_written"));
        reset_();
        g_handler_calls = 0;
    }
    ~FakeDevice() { dlclose(module_); }
    FakeDevice(const FakeDevice &) = delete;
    FakeDevice &operator=(const FakeDevice &) = delete;

    void fail(const char *entry, unsigned long status) const { fail_(entry, status); }
    void queue(const Bytes &reply) const { queue_(reply.data(), reply.size()); }
    std::string calls() const { return calls_(); }
    Bytes written() const {
        Bytes bytes(1024);
        bytes.resize(written_(bytes.data(), bytes.size()));
        return bytes;
    }

private:
    void *module_;
    FakeReset reset_;
    FakeFail fail_;
    FakeQueueReply queue_;
    FakeCalls calls_;
    FakeWritten written_;
};

QorHandle open_usb(int32_t protocol) {
    return QorOpen(QorInitInfoStructure(4096, 12345, protocol, counting_handler));
}

TEST(Usb, OpenConfiguresTheDeviceInOrderAtAnyRequestedRate) {
    FakeDevice device;
    QorHandle h = open_usb(1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(device.calls(), "FT_Open 0\n"
                              "FT_ResetDevice\n"
                              "FT_SetBaudRate 115200\n"
                              "FT_SetDataCharacteristics 8 0 0\n"
                              "FT_SetFlowControl 0 0 0\n"
                              "FT_SetChars 0 0 0 0\n"
                              "FT_Purge 3\n");
    EXPECT_EQ(QorClose(h), 0);
    EXPECT_EQ(device.calls().substr(device.calls().rfind('\n', device.calls().size() - 2) + 1),
              "FT_Close\n");
}

TEST(Usb, Protocol0ExchangesFrames) {
    FakeDevice device;
    QorHandle h = open_usb(0);
    ASSERT_NE(h, nullptr);
    device.queue(frame_reply(0, real_bytes(2.25F)));
    float value = 0.0F;
    EXPECT_EQ(QorReadChannel(h, 3, &value), 0);
    EXPECT_EQ(value, 2.25F);
    EXPECT_EQ(device.written(), (Bytes{0x3A, 4, 1, 3}));
    QorClose(h);
}

// In protocol 1 the USB reply is framed too; its fields sit at payload offsets 0, 4 and 8.
TEST(Usb, Protocol1SendsLinesAndReadsFramedFields) {
    FakeDevice device;
    QorHandle h = open_usb(1);
    ASSERT_NE(h, nullptr);
    const std::string fields = "005 200 017";
    device.queue(frame_reply(0, Bytes(fields.begin(), fields.end())));
    uint8_t first = 0;
    uint8_t second = 0;
    EXPECT_EQ(QorReadLvdtGain(h, 3, &first, &second), 0);
    EXPECT_EQ(first, 200);
    EXPECT_EQ(second, 17);
    const std::string sent = "~PI 3\r";
    EXPECT_EQ(device.written(), Bytes(sent.begin(), sent.end()));

    // A header error is taken even though the payload follows; the results stay untouched.
    device.queue(frame_reply(15, {'0'}));
    EXPECT_EQ(QorReadLvdtGain(h, 3, &first, &second), 15);
    EXPECT_EQ(first, 200);
    EXPECT_EQ(g_handler_calls, 1);
    QorClose(h);
}

struct OpenFailure {
    const char *legend;
    const char *entry; // the entry point made to fail, or a library path when failing to load
    int32_t expected;
    friend void PrintTo(const OpenFailure &value, std::ostream *out) { *out << value.legend; }
};

class UsbOpenFailure : public testing::TestWithParam<OpenFailure> {};

TEST_P(UsbOpenFailure, ReturnsNullWithTheReason) {
    const OpenFailure &failure = GetParam();
    const bool library = failure.expected == QOR_ERR_USB_LIBRARY_MISSING ||
                         failure.expected == QOR_ERR_USB_ENTRY_POINT_MISSING;
    FakeDevice device;
    if (library) {
        setenv("QORLINK_FTD2XX", failure.entry, 1);
    } else {
        device.fail(failure.entry, 4);
    }
    QorInfo *info = QorInitInfoStructure(4096, 9600, 1, counting_handler);
    EXPECT_EQ(QorOpen(info), nullptr);
    EXPECT_EQ(info->error, failure.expected);
    EXPECT_EQ(g_handler_calls, 0);
    if (!library && std::strcmp(failure.entry, "FT_Open") != 0) {
        // The device that opened but refused its set-up is given back.
        EXPECT_NE(device.calls().find("FT_Close"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, UsbOpenFailure,
    testing::Values(
        OpenFailure{"LibraryMissing", "/nonexistent/libftd2xx.so", QOR_ERR_USB_LIBRARY_MISSING},
        OpenFailure{"EntryPointMissing", FAKE_FTD2XX_PARTIAL_PATH, QOR_ERR_USB_ENTRY_POINT_MISSING},
        OpenFailure{"NoDevice", "FT_Open", QOR_ERR_OPEN_FAILED},
        OpenFailure{"ResetRefused", "FT_ResetDevice", QOR_ERR_USB_DEVICE_FAILED},
        OpenFailure{"RateRefused", "FT_SetBaudRate", QOR_ERR_USB_DEVICE_FAILED},
        OpenFailure{"FormatRefused", "FT_SetDataCharacteristics", QOR_ERR_USB_DEVICE_FAILED},
        OpenFailure{"FlowControlRefused", "FT_SetFlowControl", QOR_ERR_USB_DEVICE_FAILED},
        OpenFailure{"CharsRefused", "FT_SetChars", QOR_ERR_USB_DEVICE_FAILED}),
    [](const testing::TestParamInfo<OpenFailure> &param) { return param.param.legend; });

TEST(Usb, WriteFailureIs264AndNothingIsRead) {
    FakeDevice device;
    QorHandle h = open_usb(1);
    ASSERT_NE(h, nullptr);
    device.fail("FT_Write", 4);
    float value = 7.0F;
    EXPECT_EQ(QorReadChannel(h, 1, &value), QOR_ERR_SEND_FAILED);
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(g_handler_calls, 1);
    QorClose(h);
}

TEST(Usb, ReadFailureIs262) {
    FakeDevice device;
    QorHandle h = open_usb(0);
    ASSERT_NE(h, nullptr);
    device.queue(frame_reply(0, real_bytes(1.0F)));
    device.fail("FT_Read", 4);
    float value = 7.0F;
    EXPECT_EQ(QorReadChannel(h, 1, &value), QOR_ERR_USB_DEVICE_FAILED);
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(g_handler_calls, 1);
    QorClose(h);
}

// Costs the one-second queue wait once. The rest of the broken reply must not be read as the
// start of the next one.
TEST(Usb, PayloadShorterThanAnnouncedIs265AndItsRestIsPurged) {
    FakeDevice device;
    QorHandle h = open_usb(0);
    ASSERT_NE(h, nullptr);
    device.queue({0x3A, 0, 4, 0x00, 0x00});
    float value = 7.0F;
    EXPECT_EQ(QorReadChannel(h, 1, &value), QOR_ERR_BAD_LENGTH);
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(g_handler_calls, 1);

    device.queue(frame_reply(0, real_bytes(1.5F)));
    EXPECT_EQ(QorReadChannel(h, 1, &value), 0);
    EXPECT_EQ(value, 1.5F);
    EXPECT_NE(device.calls().find("FT_Purge 1\n"), std::string::npos);
    QorClose(h);
}

TEST(Usb, CloseFailureIs261AndTheConnectionStaysUsable) {
    FakeDevice device;
    QorHandle h = open_usb(0);
    ASSERT_NE(h, nullptr);
    device.fail("FT_Close", 4);
    EXPECT_EQ(QorClose(h), QOR_ERR_CLOSE_FAILED);
    device.queue(frame_reply(0, {0}));
    EXPECT_EQ(QorStartScan(h), 0);
    device.fail("FT_Close", 0);
    EXPECT_EQ(QorClose(h), 0);
    EXPECT_EQ(QorClose(h), 0);
}

} // namespace
