// The library as a client binds it: loaded by name at run time. Unloading it with a connection
// open closes the port.
#include "pty_unit.h"
#include "qorlink.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

TEST(Unload, ClosesTheOpenPort) {
    PtyUnit unit;
    void *library = dlopen(QORLINK_PATH, RTLD_NOW | RTLD_LOCAL);
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

} // namespace
