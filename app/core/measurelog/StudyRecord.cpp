#include "StudyRecord.h"

namespace measurelog {

namespace {

struct KindWord {
    StudyKind kind;
    std::string_view word;
};
constexpr KindWord KindWords[] = {{StudyKind::Type1, "type-1"}, {StudyKind::GaugeRr, "gauge-rr"}};

struct StatusWord {
    StudyStatus status;
    std::string_view word;
};
constexpr StatusWord StatusWords[] = {{StudyStatus::Running, "running"},
                                      {StudyStatus::Complete, "complete"}};

} // namespace

std::string_view studyKindWord(StudyKind kind) {
    for (const KindWord &entry : KindWords)
        if (entry.kind == kind)
            return entry.word;
    return {};
}

std::string_view studyStatusWord(StudyStatus status) {
    for (const StatusWord &entry : StatusWords)
        if (entry.status == status)
            return entry.word;
    return {};
}

std::optional<StudyKind> studyKindFromWord(std::string_view word) {
    for (const KindWord &entry : KindWords)
        if (entry.word == word)
            return entry.kind;
    return std::nullopt;
}

std::optional<StudyStatus> studyStatusFromWord(std::string_view word) {
    for (const StatusWord &entry : StatusWords)
        if (entry.word == word)
            return entry.status;
    return std::nullopt;
}

} // namespace measurelog
