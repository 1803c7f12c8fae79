#include "pty_unit.h"

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

PtyUnit::PtyUnit(int port) : port_(port) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    slave_path_ = ptsname(master_);
    setenv(("QORLINK_COM" + std::to_string(port)).c_str(), slave_path_.c_str(), 1);
}

PtyUnit::~PtyUnit() {
    hang_up();
}

void PtyUnit::hang_up() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

void PtyUnit::send(const Bytes &bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(master_, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR) {
            throw std::runtime_error("pty write failed");
        }
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
}

void PtyUnit::send(const std::string &text) const {
    send(Bytes(text.begin(), text.end()));
}

// The slave's output reaches the master asynchronously; waits at most 2 s for it.
bool PtyUnit::read_exact(uint8_t *out, std::size_t count) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::size_t got = 0;
    while (got < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd entry{master_, POLLIN, 0};
        if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        const ssize_t n = read(master_, out + got, count - got);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

Bytes PtyUnit::read_frame() const {
    Bytes frame(3);
    if (!read_exact(frame.data(), 3)) {
        return {};
    }
    frame.resize(3 + frame[2]);
    if (!read_exact(frame.data() + 3, frame[2])) {
        return {};
    }
    return frame;
}

std::string PtyUnit::read_line() const {
    std::string line;
    uint8_t byte = 0;
    while (read_exact(&byte, 1)) {
        line.push_back(static_cast<char>(byte));
        if (byte == '\r') {
            break;
        }
    }
    return line;
}

Bytes frame_reply(uint8_t error, const Bytes &payload) {
    Bytes reply;
    reply.reserve(3 + payload.size());
    reply.push_back(0x3A);
    reply.push_back(error);
    reply.push_back(static_cast<uint8_t>(payload.size()));
    for (const uint8_t byte : payload) {
        reply.push_back(byte);
    }
    return reply;
}

std::string line_reply(const std::string &text) {
    return "~" + text + "\r";
}

Bytes real_bytes(float value) {
    const auto bits = std::bit_cast<uint32_t>(value);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
            static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}
