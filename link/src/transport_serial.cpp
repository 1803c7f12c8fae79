#include "transport_serial.h"

#include "connection.h"
#include "deadline.h"
#include "debug_log.h"
#include "errors.h"
#include "port_rule.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qor {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kReadTimeout{1000};
// 8N2: a start bit, eight data bits, two stop bits.
constexpr int kBitsPerByte = 11;
// Writes get a fixed allowance on top of the per-byte time, so that a zero multiplier (38400 and
// above) does not mean "wait forever" as it would for the port driver.
constexpr milliseconds kWriteAllowance{1000};

SerialLine &line_of(QorConnection &connection) {
    return connection.serial;
}

// The rates the line runs at; any other request gives 9600.
int line_rate(int32_t baud) {
    return baud == 38400 || baud == 19200 ? baud : 9600;
}

speed_t line_speed(int rate) {
    switch (rate) {
    case 38400:
        return B38400;
    case 19200:
        return B19200;
    default:
        return B9600;
    }
}

// Milliseconds per byte a write may take, from the requested rate; 0 and nonsense count as 9600.
int write_multiplier(int32_t baud) {
    return 19200 / (baud > 0 ? baud : 9600);
}

bool wait_for(int fd, short events, const Deadline &deadline, QorConnection &connection) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const timespec left = deadline.remaining();
        const int ready = ppoll(&entry, 1, &left, nullptr);
        if (ready > 0) {
            return (entry.revents & events) != 0;
        }
        if (ready == 0) {
            return false;
        }
        if (errno != EINTR) {
            connection.os_error = errno;
            return false;
        }
    }
}

void drop_input(SerialLine &line) {
    tcflush(line.fd, TCIFLUSH);
    line.input_begin = line.input_end = 0;
    line.stale_input = false;
}

int32_t serial_send(QorConnection &connection, const uint8_t *data, std::size_t count) {
    SerialLine &line = line_of(connection);
    if (line.stale_input) {
        drop_input(line);
    }
    // A frame is a few hundred bytes at most, so its length fits a duration's count.
    const auto bytes = static_cast<milliseconds::rep>(count);
    const Deadline deadline(kWriteAllowance + milliseconds(line.write_ms_per_byte) * bytes);
    std::size_t sent = 0;
    while (sent < count) {
        const ssize_t written = write(line.fd, data + sent, count - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN) {
            connection.os_error = errno;
            break;
        }
        if (!wait_for(line.fd, POLLOUT, deadline, connection)) {
            break;
        }
    }
    if (sent == count) {
        debug_print("\n%ld bytes written", static_cast<long>(sent));
    } else {
        debug_print("\nProbable Write Timeout: Total of %ld bytes sent", static_cast<long>(sent));
    }
    // A lost request is reported by its missing reply.
    return kOk;
}

std::size_t take_buffered(SerialLine &line, uint8_t *out, std::size_t count) {
    const std::size_t taken = std::min(count, line.input_end - line.input_begin);
    std::memcpy(out, line.input.data() + line.input_begin, taken);
    line.input_begin += taken;
    return taken;
}

// The reply may take as long as its longest shape needs on the line, after the read time-out
// that its first byte has. Without this bound, every byte would buy the next one a full time-out:
// noise that never forms a reply, or a reply dripping in, would hold the caller indefinitely.
void serial_expect_reply(QorConnection &connection, std::size_t longest) {
    SerialLine &line = line_of(connection);
    const auto bits = static_cast<long long>(longest) * kBitsPerByte;
    const milliseconds on_the_line((bits * 1000 + line.bits_per_second - 1) / line.bits_per_second);
    line.reply_end = std::chrono::steady_clock::now() + on_the_line + kReadTimeout;
}

std::size_t serial_receive(QorConnection &connection, uint8_t *out, std::size_t count,
                           int32_t & /*error*/) {
    SerialLine &line = line_of(connection);
    std::size_t got = take_buffered(line, out, count);
    if (got == count) {
        return got;
    }
    const Deadline deadline(kReadTimeout, line.reply_end);
    while (got < count) {
        // Checked before each read, not left to poll: a line that never falls silent is always
        // ready.
        if (deadline.passed() || !wait_for(line.fd, POLLIN, deadline, connection)) {
            break; // time-out, or a hang-up with nothing to read
        }
        const ssize_t fetched = read(line.fd, line.input.data(), line.input.size());
        if (fetched > 0) {
            line.input_begin = 0;
            line.input_end = static_cast<std::size_t>(fetched);
            got += take_buffered(line, out + got, count - got);
            continue;
        }
        if (fetched < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        // End of file or EIO after readiness: the device has gone; nothing more will arrive.
        connection.os_error = fetched < 0 ? errno : 0;
        break;
    }
    if (got < count) {
        line.stale_input = true;
    }
    return got;
}

void release(SerialLine &line) {
    ioctl(line.fd, TIOCNXCL);
    flock(line.fd, LOCK_UN);
    close(line.fd);
    line.fd = -1;
    line.input_begin = line.input_end = 0;
}

int32_t serial_close(QorConnection &connection) {
    SerialLine &line = line_of(connection);
    // Discard rather than drain: a device that has gone must not hold the close up.
    tcflush(line.fd, TCIOFLUSH);
    release(line);
    return kOk;
}

bool apply_line_settings(int fd, int rate) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return false;
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                               ICRNL | IXON | IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // HUPCL stays as the port had it: DTR and RTS are not ours to change.
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CSTOPB | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    const speed_t speed = line_speed(rate);
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) {
        return false;
    }
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

bool open_serial(QorConnection &connection, int32_t port, int32_t baud, int32_t &info_error) {
    SerialLine &line = line_of(connection);
    const std::string path = portrule::resolve(port).device;
    line.fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line.fd < 0) {
        connection.os_error = errno;
        debug_print("\n%s: %s\n", path.c_str(), std::strerror(errno));
        info_error = kOpenFailed;
        return false;
    }
    // flock keeps out every other opener, root included, which TIOCEXCL alone does not.
    if (flock(line.fd, LOCK_EX | LOCK_NB) != 0) {
        connection.os_error = errno;
        debug_print("\n%s is in use\n", path.c_str());
        close(line.fd);
        line.fd = -1;
        info_error = kOpenFailed;
        return false;
    }
    const int rate = line_rate(baud);
    if (ioctl(line.fd, TIOCEXCL) != 0 || !apply_line_settings(line.fd, rate)) {
        connection.os_error = errno;
        debug_print("\n%s refuses the line settings: %s\n", path.c_str(), std::strerror(errno));
        release(line);
        return false;
    }
    tcflush(line.fd, TCIOFLUSH);
    line.input_begin = line.input_end = 0;
    line.stale_input = false;
    line.write_ms_per_byte = write_multiplier(baud);
    line.bits_per_second = rate;
    line.reply_end = std::chrono::steady_clock::time_point::max();
    connection.transport = &kSerialTransport;
    return true;
}

const Transport kSerialTransport = {serial_send, serial_expect_reply, serial_receive, serial_close,
                                    false};

} // namespace qor
