#pragma once

class PollHoldGuard;

// The brake on the main list's refresh: while any window or command holds it, the poll skips
// the list (the dialogs' live values go on). Nobody sets the count: a hold is a PollHoldGuard,
// raised when it is made and lowered when it goes, so every way out of a window or a command
// lowers exactly the hold it raised. The count still reads as a number.
class PollHoldCount {
public:
    PollHoldCount() = default;
    PollHoldCount(const PollHoldCount &) = delete;
    PollHoldCount &operator=(const PollHoldCount &) = delete;

    operator int() const { return m_holds; }

    // A command's hold on the list until the main display is next refreshed: the refresh shows
    // the command's outcome and ends the hold (endHandedOver). A window whose own hold is to end
    // with that refresh hands its guard over the same way.
    void holdUntilRefresh();
    void handOver(PollHoldGuard &&guard);
    // The refresh: ends the oldest hold handed over to it, if any; holds still owned stay.
    void endHandedOver() {
        if (m_handedOver == 0)
            return;
        --m_handedOver;
        --m_holds;
    }

private:
    friend class PollHoldGuard;
    int m_holds = 0;
    int m_handedOver = 0;
};

// One hold on the list, owned by whoever holds it (a dialog while it is loaded, a command until
// the main display is refreshed). A guard made empty holds nothing; moving it hands the hold over.
class PollHoldGuard {
public:
    PollHoldGuard() = default;
    explicit PollHoldGuard(PollHoldCount &count) : m_count(&count) { ++m_count->m_holds; }
    ~PollHoldGuard() { release(); }
    PollHoldGuard(PollHoldGuard &&other) noexcept : m_count(other.m_count) {
        other.m_count = nullptr;
    }
    PollHoldGuard &operator=(PollHoldGuard &&other) noexcept {
        if (this != &other) {
            release();
            m_count = other.m_count;
            other.m_count = nullptr;
        }
        return *this;
    }
    PollHoldGuard(const PollHoldGuard &) = delete;
    PollHoldGuard &operator=(const PollHoldGuard &) = delete;

    bool holds() const { return m_count != nullptr; }
    void release() {
        if (m_count)
            --m_count->m_holds;
        m_count = nullptr;
    }

private:
    friend class PollHoldCount;
    PollHoldCount *m_count = nullptr;
};

inline void PollHoldCount::handOver(PollHoldGuard &&guard) {
    if (guard.m_count != this)
        return;
    guard.m_count = nullptr;
    ++m_handedOver;
}

inline void PollHoldCount::holdUntilRefresh() {
    handOver(PollHoldGuard(*this));
}
