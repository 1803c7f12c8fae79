#include "pty_port.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace qorsim {

namespace {

struct SpeedEntry {
    speed_t code;
    int baud;
};

constexpr SpeedEntry kSpeeds[] = {
    {B300, 300},     {B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},
    {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
};

speed_t speedCode(int baud) {
    for (const SpeedEntry &s : kSpeeds) {
        if (s.baud == baud)
            return s.code;
    }
    return B9600;
}

int speedBaud(speed_t code) {
    for (const SpeedEntry &s : kSpeeds) {
        if (s.code == code)
            return s.baud;
    }
    return 0;
}

std::string lastError(const std::string &what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

PtyPort::~PtyPort() {
    if (!linkPath_.empty()) {
        char target[256] = {};
        ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
        if (n > 0 && slavePath_ == target)
            ::unlink(linkPath_.c_str());
    }
    for (int fd : {inotify_, slave_, master_}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool PtyPort::open(const LineSettings &line, const std::string &linkPath, std::string &error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = lastError("cannot create a pseudo-terminal");
        return false;
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error = lastError("ptsname");
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave_ < 0) {
        error = lastError(slavePath_);
        return false;
    }
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL | (line.stopBits == 2 ? CSTOPB : 0);
    ::cfsetispeed(&t, speedCode(line.baud));
    ::cfsetospeed(&t, speedCode(line.baud));
    if (::tcsetattr(slave_, TCSANOW, &t) != 0) {
        error = lastError("tcsetattr");
        return false;
    }
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0 ||
        ::inotify_add_watch(inotify_, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        error = lastError("inotify on " + slavePath_);
        return false;
    }
    if (!linkPath.empty()) {
        struct stat st {};
        if (::lstat(linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = linkPath + " exists and is not a symbolic link";
                return false;
            }
            ::unlink(linkPath.c_str());
        }
        if (::symlink(name, linkPath.c_str()) != 0) {
            error = lastError(linkPath);
            return false;
        }
        linkPath_ = linkPath;
    }
    return true;
}

PtyPort::Event PtyPort::readEvents(bool &closed) {
    alignas(inotify_event) char buf[4096];
    Event last = Event::None;
    for (;;) {
        ssize_t n = ::read(inotify_, buf, sizeof buf);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buf + at);
            // A lost queue may have held a close: taken as one.
            last = (event->mask & IN_OPEN) ? Event::Open : Event::Close;
            closed = closed || last == Event::Close;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return last;
}

bool PtyPort::handleCloseEvents() {
    bool closed = false;
    Event last = readEvents(closed);
    // Events are handled some time after they happened: a client that opened the port after
    // the close may already have claimed it, and its claim must stand. While the flag is set
    // no ordinary user can open the port, so an open that slipped in before it was looked at
    // shows as a further event, and clearing it afterwards takes nobody's claim away.
    while (last == Event::Close) {
        int exclusive = 0;
        if (::ioctl(slave_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0)
            break;
        last = readEvents(closed);
        if (last == Event::None)
            ::ioctl(slave_, TIOCNXCL);
    }
    return closed;
}

LineSettings PtyPort::stationLine() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    int bits = 8;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        bits = 5;
        break;
    case CS6:
        bits = 6;
        break;
    case CS7:
        bits = 7;
        break;
    default:
        break;
    }
    return {speedBaud(::cfgetospeed(&t)), bits, (t.c_cflag & PARENB) != 0,
            (t.c_cflag & CSTOPB) ? 2 : 1};
}

int PtyPort::unreadByStation() const {
    int n = 0;
    return ::ioctl(slave_, FIONREAD, &n) == 0 ? n : 0;
}

void PtyPort::hangUp() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

} // namespace qorsim
