#pragma once

#include "StudyLayout.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The order in which a study asks for its readings, and the prompts that ask. Trial by trial,
// each appraiser in turn measures every part, in an order of the appraiser's own drawn afresh for
// every trial, so no one learns a part's last value from the sequence. The order follows from the
// layout and a seed alone (the generator and the draw are fixed here, not left to the standard
// library's choice of distribution), so a study stored with its seed asks the same way after a
// restart.
namespace studies {

std::vector<StudyStep> runOrder(const StudyLayout &layout, std::uint64_t seed);

// "A", "B", "C", … as many as asked for.
QStringList defaultAppraiserNames(int count);

// "Appraiser B — part 7, trial 2", with the appraiser's name from names (by position) or its
// letter when names has none for it.
QString stepPrompt(const StudyStep &step, const QStringList &appraiserNames);

// "Place the reference part (3 of 50)": reading is 0-based.
QString referencePrompt(int reading, int count);

} // namespace studies
