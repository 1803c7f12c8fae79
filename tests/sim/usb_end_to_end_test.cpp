// The stand-in USB library through libqorlink's USB path (port 4096), in this process.
#include "link_session.h"
#include "placed_sizes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace qorsim {
namespace {

constexpr int kUsbPort = 4096;

class UsbUnit : public ::testing::Test {
protected:
    void open(const std::string &options, int protocol = 1) {
        ::setenv("QORSIM_OPTIONS", options.c_str(), 1);
        ::setenv("QORLINK_FTD2XX", QORSIM_FTD2XX, 1);
        link = std::make_unique<LinkSession>(kUsbPort, 0, protocol);
        ASSERT_NE(link->handle, nullptr);
        h = link->handle;
    }
    // The stand-in's own control entry, from the copy the link loaded.
    int control(const char *line) {
        void *lib = ::dlopen(QORSIM_FTD2XX, RTLD_NOW | RTLD_NOLOAD);
        auto fn =
            lib ? reinterpret_cast<int (*)(const char *)>(::dlsym(lib, "qorsim_control")) : nullptr;
        int result = fn ? fn(line) : -2;
        if (lib)
            ::dlclose(lib);
        return result;
    }
    std::unique_ptr<LinkSession> link;
    QorHandle h = nullptr;
};

TEST_F(UsbUnit, DefinesAChannelAndReadsItMovingInBothProtocols) {
    for (int protocol : {1, 0}) {
        SCOPED_TRACE(protocol);
        open("", protocol);
        ASSERT_EQ(QorDefineChannel(h, 2, "P1*1000 + 5"), 0);
        char text[QOR_TEXT_BUFFER_SIZE] = {};
        ASSERT_EQ(QorReadFormula(h, 2, text), 0);
        EXPECT_STREQ(text, "P1*1000 + 5");
        float zero = 1.5f, back = 0;
        ASSERT_EQ(QorSetCzero(h, 2, &zero), 0);
        ASSERT_EQ(QorReadCzero(h, 2, &back), 0);
        EXPECT_EQ(back, 1.5f);
        EXPECT_TRUE(valueMoves([&] {
            float v = 0;
            EXPECT_EQ(QorReadChannel(h, 2, &v), 0);
            EXPECT_NEAR(v, 6.5f, 2.5f);
            return v;
        }));
        EXPECT_EQ(QorDefineChannel(h, 3, "P1+"), 16);
        EXPECT_EQ(QorReadChannel(h, 0, &back), 10);
        EXPECT_EQ(gHandlerCalls, 2);
        link.reset();
    }
}

TEST_F(UsbUnit, CalibratesAProbe) {
    open("--seed 3");
    ASSERT_EQ(control("noise 0"), 0);
    ASSERT_EQ(control("part master1"), 0);
    QorStartScan(h);
    float before = 0, after = 0;
    ASSERT_EQ(QorReadLvdt(h, 1, &before), 0);
    EXPECT_NEAR(before, -0.01f, 1e-6);

    ASSERT_EQ(QorSetLvdtGain(h, 1, 255, 30), 0);
    ASSERT_EQ(QorSetLvdtFine(h, 1, 100), 0);
    ASSERT_EQ(QorSetLvdtNull(h, 1, -40), 0);
    int16_t status = -1, second = -1;
    ASSERT_EQ(QorSaveCalibration(h, &status), 0);
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(calibrationStored(h, second));
    EXPECT_EQ(second, 0);
    uint8_t rf = 0, ri = 0;
    int16_t fine = 0, null = 0;
    ASSERT_EQ(QorReadLvdtGain(h, 1, &rf, &ri), 0);
    ASSERT_EQ(QorReadLvdtFine(h, 1, &fine), 0);
    ASSERT_EQ(QorReadLvdtNull(h, 1, &null), 0);
    EXPECT_EQ(std::make_tuple(rf, ri, fine, null), std::make_tuple(255, 30, 100, -40));
    ASSERT_EQ(QorReadLvdt(h, 1, &after), 0);
    double gain = (1 + 256.28 / 31.28) * 1.025 / (1 + 129.28 / 51.28);
    EXPECT_NEAR(after, 0.05 * (-0.2 * gain - 40 / 5000.0), 1e-6);
}

TEST_F(UsbUnit, WritesThePartsItPlacesToItsPartsLog) {
    const std::filesystem::path log =
        std::filesystem::temp_directory_path() / ("qorsim-usb-parts-" + std::to_string(::getpid()));
    std::filesystem::remove(log);
    open("--parts-log " + log.string());
    ASSERT_EQ(control("noise 0"), 0);
    ASSERT_EQ(control("part place 4"), 0);
    std::string line;
    std::getline(std::ifstream(log), line);
    std::filesystem::remove(log);
    ASSERT_EQ(line.rfind("part 4 placed: ", 0), 0u) << line;
    const std::vector<double> sizes = sizesIn(line);
    ASSERT_EQ(sizes.size(), 8u);
    float v = 0;
    ASSERT_EQ(QorReadLvdt(h, 2, &v), 0);
    EXPECT_NEAR(v, sizes[1], 1e-6);
}

TEST_F(UsbUnit, KeepsSetupsInItsMemory) {
    open("");
    ASSERT_EQ(QorDefineChannel(h, 1, "GOR(P1:P4)"), 0);
    ASSERT_EQ(QorSaveSetup(h, "turning"), 0);
    ASSERT_EQ(QorResetSetup(h), 0);
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    ASSERT_EQ(QorReadFormula(h, 1, text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(QorLoadSetup(h, "milling"), 18);
    ASSERT_EQ(QorLoadSetup(h, "turning"), 0);
    ASSERT_EQ(QorReadFormula(h, 1, text), 0);
    EXPECT_STREQ(text, "GOR(P1:P4)");
}

TEST_F(UsbUnit, DropRateLosesReplies) {
    open("--drop-rate 1");
    char text[QOR_TEXT_BUFFER_SIZE] = {};
    EXPECT_EQ(QorReadVersion(h, text), QOR_ERR_BAD_LENGTH);
    EXPECT_EQ(gHandlerCalls, 1);
}

TEST_F(UsbUnit, SilentAfterStopsAnswering) {
    open("--silent-after 2");
    int16_t value = 0;
    EXPECT_EQ(QorGetScanTime(h, &value), 0);
    EXPECT_EQ(QorGetScanTime(h, &value), 0);
    EXPECT_EQ(QorGetScanTime(h, &value), QOR_ERR_BAD_LENGTH);
}

TEST_F(UsbUnit, HangupAfterFailsTheDevice) {
    open("--hangup-after 1");
    int16_t value = 0;
    EXPECT_EQ(QorGetScanTime(h, &value), 0);
    EXPECT_EQ(QorGetScanTime(h, &value), QOR_ERR_SEND_FAILED);
}

TEST_F(UsbUnit, GarbleRateCorruptsReplies) {
    open("--garble-rate 1 --seed 5");
    float scale = 2.0f;
    QorSetCscale(h, 1, &scale); // its own reply may be garbled too
    bool corrupted = false;
    for (int i = 0; i < 20 && !corrupted; ++i) {
        float v = 0;
        corrupted = QorReadCscale(h, 1, &v) != 0 || v != 2.0f;
    }
    EXPECT_TRUE(corrupted);
}

TEST_F(UsbUnit, DelayHoldsEachReply) {
    open("--delay-ms 250");
    int16_t value = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(QorGetScanTime(h, &value), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
}

TEST_F(UsbUnit, SaveStatusReportsAFailedStore) {
    open("--save-status 4");
    int16_t status = -1, second = 0;
    ASSERT_EQ(QorSaveCalibration(h, &status), 0);
    ASSERT_TRUE(calibrationStored(h, second));
    EXPECT_EQ(second, 4);
}

TEST_F(UsbUnit, BadOptionsLeaveNoDevice) {
    ::setenv("QORSIM_OPTIONS", "--probes none", 1);
    ::setenv("QORLINK_FTD2XX", QORSIM_FTD2XX, 1);
    LinkSession session(kUsbPort, 0, 1);
    EXPECT_EQ(session.handle, nullptr);
}

} // namespace
} // namespace qorsim
