#pragma once

#include <array>
#include <cstddef>

// The page and button logic of the connection wizard, kept apart from its window: which page
// shows, which navigation buttons are enabled, and whether a passed test lets the wizard store
// its choice.
class WizardSteps {
public:
    static constexpr int PageCount = 4;
    enum Page { Introduction = 0, ChoosePort = 1, Confirm = 2, Finished = 3 };

    struct Buttons {
        bool back = false;
        bool next = false;
        bool finish = false;
        bool operator==(const Buttons &) const = default;
    };

    // String-table numbers of the page titles; the window caption ends with the current one.
    static constexpr std::array<int, PageCount> TitleTags{1000, 2000, 2002, 3000};

    // Shows page (clamped to the pages that exist); the finished page allows Finish, the
    // confirmation page takes that back.
    void setStep(int page);
    void back() { setStep(m_page - 1); }
    void next() { setStep(m_page + 1); }

    // A test result replaces the last one; a new port choice does not clear it.
    void setTestPassed(bool passed) { m_testPassed = passed; }

    int page() const { return m_page; }
    bool testPassed() const { return m_testPassed; }
    int titleTag() const { return TitleTags[static_cast<size_t>(m_page)]; }
    Buttons buttons() const;

private:
    int m_page = Introduction;
    bool m_finishAllowed = false;
    bool m_testPassed = false;
};
