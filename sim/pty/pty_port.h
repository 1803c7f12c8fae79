// The pseudo-terminal the simulated unit sits on.
//
// The simulator holds a descriptor of its own slave for its whole life, so the master never sees
// a hang-up when the station closes the port, and it can read the line settings the station
// applied (a pty's slave and master share them). On a pty the exclusive-use flag (TIOCEXCL)
// outlives the close of the process that set it, even a killed one; a non-root user could then
// never open the port again (EBUSY). The port therefore watches the slave node's opens and closes
// with inotify and clears the flag (TIOCNXCL) once the last of them is a close.
#pragma once

#include "faults.h"

#include <string>

namespace qorsim {

class PtyPort {
public:
    PtyPort() = default;
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;
    ~PtyPort();

    // Creates the pty with the unit's line settings; with linkPath, keeps a symlink to the
    // slave. false with a reason on failure.
    bool open(const LineSettings &line, const std::string &linkPath, std::string &error);

    int masterFd() const { return master_; }
    int watchFd() const { return inotify_; }
    const std::string &slavePath() const { return slavePath_; }

    // Reads the pending inotify events; true when an opener closed the slave. The exclusive
    // flag is cleared unless the port was opened again since.
    bool handleCloseEvents();
    // The line settings in force on the slave.
    LineSettings stationLine() const;
    // Bytes sent to the station that it has not read yet.
    int unreadByStation() const;
    // Ends the connection as a unit that hangs up: the master is closed.
    void hangUp();

private:
    enum class Event { None, Open, Close };
    // Drains the pending events: the kind of the last one; closed is set when one was a close.
    Event readEvents(bool &closed);

    int master_ = -1;
    int slave_ = -1;
    int inotify_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};

} // namespace qorsim
