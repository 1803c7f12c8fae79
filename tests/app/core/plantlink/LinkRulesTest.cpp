#include "LinkState.h"
#include "LiveRateLimiter.h"
#include "Outbox.h"
#include "ReconnectPolicy.h"

#include <gtest/gtest.h>

using namespace plantlink;
using namespace std::chrono_literals;

TEST(LiveRateLimiter, SendsChangesAtMostOncePerInterval) {
    struct Step {
        const char *proves;
        int channel;
        const char *shown;
        qint64 atMs;
        bool sent;
    };
    // Minimum interval 100 ms.
    const Step steps[] = {
        {"a channel's first value goes out", 1, "1.000", 0, true},
        {"the same value is not sent again", 1, "1.000", 30, false},
        {"a change within the interval is held", 1, "1.001", 50, false},
        {"another channel has an interval of its own", 2, "7.5", 60, true},
        {"the held change goes out once the interval has passed", 1, "1.001", 100, true},
        {"a change just inside the next interval is held", 1, "1.002", 199, false},
        {"it goes out at the interval's end", 1, "1.002", 200, true},
        {"going back to an earlier value is a change", 1, "1.001", 300, true},
        {"no value after a value is a change", 1, "", 400, true},
        {"and no value twice is not", 1, "", 900, false},
    };
    LiveRateLimiter limiter(100);
    for (const Step &s : steps)
        EXPECT_EQ(limiter.admit(s.channel, QString::fromLatin1(s.shown), s.atMs), s.sent)
            << s.proves;
    limiter.clear();
    EXPECT_TRUE(limiter.admit(1, QString(), 901)) << "after clear() the value goes out again";
}

TEST(ReconnectPolicy, WaitsDoubleUpToTheCapAndRejectionsWaitLong) {
    struct Step {
        const char *proves;
        LinkState::Kind failure;
        double spread;
        std::chrono::milliseconds wait;
    };
    const Step steps[] = {
        {"the first retry comes after a second", LinkState::Refused, 0.0, 1s},
        {"then twice that", LinkState::Unreachable, 0.0, 2s},
        {"a name not found counts like the others", LinkState::NameNotResolved, 0.0, 4s},
        {"the spread adds at most a fifth", LinkState::TlsFailure, 0.999999, 9599ms},
        {"", LinkState::Disconnected, 0.0, 16s},
        {"", LinkState::Refused, 0.0, 32s},
        {"the wait stops growing at a minute", LinkState::Refused, 0.0, 60s},
        {"and stays there", LinkState::Refused, 0.0, 60s},
        {"rejected credentials are asked again after five minutes", LinkState::NotAuthorised, 0.0,
         300s},
    };
    ReconnectPolicy policy;
    for (const Step &s : steps)
        EXPECT_EQ(policy.next(s.failure, s.spread), s.wait) << s.proves;
    policy.reset();
    EXPECT_EQ(policy.next(LinkState::Refused, 0.0), 1s) << "an accepted connection starts over";
    for (int i = 0; i < 100; ++i)
        EXPECT_LE(policy.next(LinkState::Refused, 0.5), 66s) << "no overflow after many failures";
}

TEST(LinkState, TlsReasonsReadFromTheLibraryLog) {
    struct Case {
        const char *proves;
        const char *line;
        const char *reason;
    };
    const Case cases[] = {
        {"OpenSSL's reason after its routine",
         "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed",
         "certificate verify failed"},
        {"a reason without a routine name", "OpenSSL Error[1]: error:0A000126:unexpected eof",
         "unexpected eof"},
        {"the library's words about a certificate file",
         "Error: Unable to load CA certificates. Check cafile \"/x/ca.crt\".",
         "Unable to load CA certificates. Check cafile \"/x/ca.crt\""},
        {"other lines are no reason", "Client qorview-1 sending CONNECT", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tlsReasonOf(QString::fromUtf8(c.line)), QString::fromUtf8(c.reason)) << c.proves;
}

TEST(MemoryOutbox, HandsOutUnsentRecordsInOrderAfterACursor) {
    MemoryOutbox outbox;
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(outbox.add(QByteArray::number(i)), i);
    outbox.markSent({2, 4, 99});
    EXPECT_EQ(outbox.unsentCount(), 3) << "an unknown id is ignored";

    auto ids = [](const std::vector<OutboxRecord> &records) {
        std::vector<qint64> result;
        for (const OutboxRecord &r : records)
            result.push_back(r.id);
        return result;
    };
    EXPECT_EQ(ids(outbox.nextUnsent(0, 10)), (std::vector<qint64>{1, 3, 5}));
    EXPECT_EQ(ids(outbox.nextUnsent(1, 1)), (std::vector<qint64>{3})) << "limit and cursor";
    EXPECT_EQ(ids(outbox.nextUnsent(5, 10)), std::vector<qint64>{}) << "nothing after the last";
    EXPECT_EQ(outbox.nextUnsent(2, 1).front().payload, "3");
}
