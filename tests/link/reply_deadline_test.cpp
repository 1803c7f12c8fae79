// Hostile peers on a real pseudo-terminal: however the bytes come, one call waits no longer than
// its reply's longest shape needs on the line plus the read time-out, fails as a missing reply
// does, and the next call starts clean.
#include "link_fixture.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// How long the link may wait for a reply: 11 bits a byte for the longest reply, plus 1000 ms.
// Asserted with 500 ms to spare for a loaded machine.
constexpr milliseconds kLineAt9600{1000 + 293};  // "~", 253 characters, "\r": 255 bytes
constexpr milliseconds kFrameAt9600{1000 + 297}; // header and 256 payload bytes: 259 bytes
constexpr milliseconds kLineAt38400{1000 + 74};
constexpr milliseconds kSpare{500};

// Runs a peer's misbehaviour on its own thread until stopped; waits end at once on the stop.
class Misbehaviour {
public:
    using Act = std::function<void(const PtyUnit &, const std::function<bool(milliseconds)> &)>;
    Misbehaviour(const PtyUnit &unit, Act act)
        : thread_([&unit, act = std::move(act)](std::stop_token stop) {
              std::mutex mutex;
              std::condition_variable_any woken;
              // Pauses the peer; false once it is told to stop.
              const auto pause = [&](milliseconds span) {
                  std::unique_lock lock(mutex);
                  return !woken.wait_for(lock, stop, span, [] { return false; }) &&
                         !stop.stop_requested();
              };
              act(unit, pause);
          }) {}

private:
    std::jthread thread_;
};

// Ten seconds stand for ever: long past any deadline, yet a link that waits for the noise to end
// fails the test instead of hanging it.
void noise_without_tilde(const PtyUnit &unit, const std::function<bool(milliseconds)> &pause) {
    const std::string noise = "noise 00 003 1.5\r\n\x01\x7f";
    const auto end = Clock::now() + std::chrono::seconds(10);
    do {
        unit.send(noise);
    } while (Clock::now() < end && pause(milliseconds(2)));
}

// One byte, then 900 ms, then the next: each byte arrives inside the read time-out.
Misbehaviour::Act drip(Bytes reply) {
    return [reply](const PtyUnit &unit, const std::function<bool(milliseconds)> &pause) {
        for (const uint8_t byte : reply) {
            unit.send(Bytes{byte});
            if (!pause(milliseconds(900))) {
                return;
            }
        }
    };
}

Bytes text_bytes(const std::string &text) {
    return Bytes(text.begin(), text.end());
}

struct HostilePeer {
    const char *legend;
    int32_t protocol;
    int32_t baud;
    Misbehaviour::Act act;
    int32_t error;
    milliseconds deadline;
    friend void PrintTo(const HostilePeer &value, std::ostream *out) { *out << value.legend; }
};

class ReplyDeadline : public testing::TestWithParam<HostilePeer> {};

// Answers the link's next read of channel 4 correctly, skipping the request given up on.
void answer_channel_4(const LinkOnPty &link) {
    if (link.info->protocol == 0) {
        while (true) {
            const Bytes request = link.unit.read_frame();
            if (request.empty() || request == Bytes{0x3A, 4, 1, 4}) {
                break;
            }
        }
        link.unit.send(frame_reply(0, real_bytes(1.5F)));
        return;
    }
    while (true) {
        const std::string request = link.unit.read_line();
        if (request.empty() || request == "~C1 4\r") {
            break;
        }
    }
    link.unit.send(line_reply("00 004 1.5"));
}

TEST_P(ReplyDeadline, EndsInTimeAndTheNextCallWorks) {
    const HostilePeer &peer = GetParam();
    LinkOnPty link(peer.protocol, peer.baud);
    ASSERT_NE(link.handle, nullptr);
    float value = 7.0F;
    {
        const Misbehaviour misbehaviour(link.unit, peer.act);
        const auto start = Clock::now();
        EXPECT_EQ(QorReadChannel(link.handle, 3, &value), peer.error);
        EXPECT_LT(Clock::now() - start, peer.deadline + kSpare);
    }
    EXPECT_EQ(value, 7.0F);
    EXPECT_EQ(g_handler_calls, 1);

    std::thread unit([&link] { answer_channel_4(link); });
    EXPECT_EQ(QorReadChannel(link.handle, 4, &value), 0);
    unit.join();
    EXPECT_EQ(value, 1.5F);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, ReplyDeadline,
    testing::Values(HostilePeer{"NoiseWithoutTildeForever", 1, 9600, noise_without_tilde, 259,
                                kLineAt9600},
                    HostilePeer{"NoiseAt38400", 1, 38400, noise_without_tilde, 259, kLineAt38400},
                    HostilePeer{"LineDrippingEvery900ms", 1, 9600,
                                drip(text_bytes("~00 003 1.5\r")), 259, kLineAt9600},
                    HostilePeer{"FrameDrippingEvery900ms", 0, 9600,
                                drip(frame_reply(0, real_bytes(2.5F))), 265, kFrameAt9600}),
    [](const testing::TestParamInfo<HostilePeer> &param) { return param.param.legend; });

TEST(ReplyDeadlineHangUp, MidReplyEndsTheCallAndAFreshOpenWorks) {
    LinkOnPty link(1);
    ASSERT_NE(link.handle, nullptr);
    link.unit.send(std::string("~00 003 1."));
    link.unit.hang_up();
    float value = 7.0F;
    for (int call = 0; call < 2; ++call) {
        const auto start = Clock::now();
        EXPECT_EQ(QorReadChannel(link.handle, 3, &value), QOR_ERR_NO_RESPONSE);
        EXPECT_LT(Clock::now() - start, kLineAt9600 + kSpare);
    }
    EXPECT_EQ(value, 7.0F);

    const PtyUnit replaced(link.unit.port());
    ASSERT_EQ(QorOpen(link.info), link.handle);
    replaced.send(line_reply("00 003 2.5"));
    EXPECT_EQ(QorReadChannel(link.handle, 3, &value), 0);
    EXPECT_EQ(value, 2.5F);
}

} // namespace
