#include "sim_process.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qorsim {

ChildProcess::ChildProcess(const std::vector<std::string> &argv, bool asNobody) {
    std::vector<std::string> full;
    if (asNobody && ::geteuid() == 0)
        full = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    full.insert(full.end(), argv.begin(), argv.end());
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(toChild[0], STDIN_FILENO);
        ::dup2(fromChild[1], STDOUT_FILENO);
        std::vector<char *> args;
        for (std::string &a : full)
            args.push_back(a.data());
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0)
        stop(SIGTERM);
    for (int fd : {in_, out_}) {
        if (fd >= 0)
            ::close(fd);
    }
}

std::string ChildProcess::readLine() {
    for (;;) {
        if (auto eol = buffer_.find('\n'); eol != std::string::npos) {
            std::string line = buffer_.substr(0, eol);
            buffer_.erase(0, eol + 1);
            return line;
        }
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return {};
        char buf[256];
        ssize_t n = ::read(out_, buf, sizeof buf);
        if (n <= 0)
            return {};
        buffer_.append(buf, static_cast<std::size_t>(n));
    }
}

void ChildProcess::write(const std::string &text) {
    if (::write(in_, text.data(), text.size()) < 0)
        std::perror("write to child");
}

int ChildProcess::stop(int sig) {
    int status = 0;
    if (pid_ <= 0)
        return status;
    ::kill(pid_, sig);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

std::string startedPort(ChildProcess &sim) {
    const std::string prefix = "qorsim: unit on ";
    std::string line = sim.readLine();
    return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : std::string();
}

} // namespace qorsim
