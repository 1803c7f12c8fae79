// Helper of the exclusive-use test, run as an ordinary user:
//   port_probe hold PATH   opens PATH for exclusive use, prints "held", waits to be killed
//   port_probe open PATH   opens PATH, prints "opened" and closes it
//   port_probe ask PATH    opens PATH, asks the unit its version, prints the reply line
// Exit status of ask: 0 answered, 3 the port is busy (EBUSY), 2 any other failure.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    std::string mode = argv[1];
    int fd = ::open(argv[2], O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::printf("open: %s\n", std::strerror(errno));
        return errno == EBUSY ? 3 : 2;
    }
    if (mode == "hold") {
        ::ioctl(fd, TIOCEXCL);
        std::printf("held\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    if (mode == "open") {
        std::printf("opened\n");
        return 0;
    }
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    t.c_cflag |= CSTOPB | CLOCAL | CREAD;
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(fd, TCSANOW, &t);
    ::tcflush(fd, TCIOFLUSH);
    if (::write(fd, "~Y6\r", 4) != 4)
        return 2;
    std::string reply;
    while (reply.empty() || reply.back() != '\r') {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 3000) <= 0)
            return 2;
        char c;
        if (::read(fd, &c, 1) == 1)
            reply += c;
    }
    reply.pop_back();
    std::printf("%s\n", reply.c_str());
    return 0;
}
