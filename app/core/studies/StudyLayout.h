#pragma once

#include <cstddef>

// How many readings a study takes: every appraiser measures every part, trials times. A type-1
// study is one appraiser, one part and its repeats as trials.
namespace studies {

struct StudyLayout {
    int appraisers = 0;
    int parts = 0;
    int trials = 0;

    int readings() const { return appraisers * parts * trials; }
    bool operator==(const StudyLayout &) const = default;
};

// One reading's place in the study, 0-based.
struct StudyStep {
    int appraiser = 0;
    int part = 0;
    int trial = 0;

    bool operator==(const StudyStep &) const = default;
};

// Where a 0-based index of the layout sits in the vectors that hold its tables. The layout counts
// in int, as its texts and callers do; loops over it never go below 0.
inline std::size_t slot(int index) {
    return static_cast<std::size_t>(index);
}

inline bool contains(const StudyLayout &layout, const StudyStep &step) {
    return step.appraiser >= 0 && step.appraiser < layout.appraisers && step.part >= 0 &&
           step.part < layout.parts && step.trial >= 0 && step.trial < layout.trials;
}

} // namespace studies
