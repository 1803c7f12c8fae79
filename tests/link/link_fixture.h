// An opened link on a pty pair, with a handler that counts its calls.
#pragma once

#include "pty_unit.h"
#include "qorlink.h"

#include <gtest/gtest.h>

#include <memory>

inline int g_handler_calls = 0;

inline int32_t QORAPI counting_handler(QorHandle) {
    ++g_handler_calls;
    return 0;
}

class LinkOnPty {
public:
    explicit LinkOnPty(int32_t protocol, int32_t baud = 9600) {
        g_handler_calls = 0;
        info = QorInitInfoStructure(unit.port(), baud, protocol, counting_handler);
        handle = QorOpen(info);
    }
    ~LinkOnPty() { QorClose(handle); }
    LinkOnPty(const LinkOnPty &) = delete;
    LinkOnPty &operator=(const LinkOnPty &) = delete;

    // Proves that nothing went out before: the next request the unit sees is this start-scan.
    void expect_nothing_sent() const {
        const int32_t protocol = info->protocol;
        unit.send(protocol == 0 ? frame_reply(0, {0}) : Bytes{'~', '0', '0', '\r'});
        ASSERT_EQ(QorStartScan(handle), 0);
        if (protocol == 0) {
            EXPECT_EQ(unit.read_frame(), (Bytes{0x3A, 7, 1, 0}));
        } else {
            EXPECT_EQ(unit.read_line(), "~C7\r");
        }
    }

    PtyUnit unit;
    QorInfo *info = nullptr;
    QorHandle handle = nullptr;
};
