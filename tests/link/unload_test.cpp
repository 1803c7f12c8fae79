// The library as a client binds it: loaded at run time by the development link libqorlink.so
// (as the station does) or by its SONAME. Unloading it with a connection open closes the port.
#include "pty_unit.h"
#include "qorlink.h"

#include <gtest/gtest.h>

#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class Unload : public testing::TestWithParam<const char *> {};

TEST_P(Unload, ClosesTheOpenPort) {
    PtyUnit unit;
    const std::string path = std::string(QORLINK_DIR) + "/" + GetParam();
    void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto init =
        reinterpret_cast<decltype(&QorInitInfoStructure)>(dlsym(library, "QorInitInfoStructure"));
    const auto open_link = reinterpret_cast<decltype(&QorOpen)>(dlsym(library, "QorOpen"));
    ASSERT_NE(init, nullptr);
    ASSERT_NE(open_link, nullptr);
    ASSERT_NE(open_link(init(unit.port(), 9600, 1, nullptr)), nullptr);

    const int held = open(unit.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (held >= 0) {
        EXPECT_NE(flock(held, LOCK_EX | LOCK_NB), 0);
        close(held);
    }
    ASSERT_EQ(dlclose(library), 0);
    const int after = open(unit.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(after, 0);
    EXPECT_EQ(flock(after, LOCK_EX | LOCK_NB), 0);
    close(after);
}

INSTANTIATE_TEST_SUITE_P(ByName, Unload, testing::Values("libqorlink.so", "libqorlink.so.6"),
                         [](const testing::TestParamInfo<const char *> &param) {
                             return param.index == 0 ? "DevelopmentLink" : "Soname";
                         });

} // namespace
