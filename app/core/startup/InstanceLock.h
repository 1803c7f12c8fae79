#pragma once

#include <QString>

// Keeps a second copy of the station from running for the same user: an exclusive lock on a file
// in the user's runtime folder, held for the life of the process and released by the system
// however the process ends.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when this process now holds the lock; false when another copy holds it. A lock file
    // that cannot be created at all does not keep the station from running.
    bool acquire();
    QString fileName() const;

private:
    int m_fd = -1;
};
