#pragma once

#include <QHash>
#include <QString>

#include <utility>
#include <vector>

namespace textfile {

// The notices a reader collects for lines it passes over. Equal texts are kept once, at the line
// where they first occurred, with how often they occurred. `Notice` is the reader's own struct of
// lineNumber, text and occurrences.
template <typename Notice> class NoticeList {
public:
    void add(int lineNumber, const QString &text) {
        const auto known = m_at.constFind(text);
        if (known != m_at.cend()) {
            ++m_notices[*known].occurrences;
            return;
        }
        m_at.insert(text, m_notices.size());
        m_notices.push_back({lineNumber, text, 1});
    }

    // The notices in order of first occurrence; the list is empty afterwards.
    std::vector<Notice> take() {
        m_at.clear();
        return std::exchange(m_notices, {});
    }

private:
    std::vector<Notice> m_notices;
    QHash<QString, size_t> m_at;
};

} // namespace textfile
