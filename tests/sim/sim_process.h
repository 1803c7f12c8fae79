// Runs a program (qorsim, or the port probe) as a child process: its standard input is a pipe
// the test writes control lines to, its standard output a pipe read line by line. Readiness is
// a line of output, never a pause; the child is stopped by its process id.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace qorsim {

class ChildProcess {
public:
    // asNobody: run as the unprivileged user nobody (through setpriv) when the test is root.
    ChildProcess(const std::vector<std::string> &argv, bool asNobody = false);
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess();

    // The next line of output without its newline; empty after 5 s or at end of output.
    std::string readLine();
    void write(const std::string &text);
    // Sends sig and reaps the child; returns its wait status.
    int stop(int sig);
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string buffer_;
};

// Starts qorsim with the arguments and returns the slave path from its first line.
std::string startedPort(ChildProcess &sim);

} // namespace qorsim
