#pragma once

#include "AmplifierSettings.h"

#include <QString>

// What the calibration dialog shows about an amplifier: its gain and its range.
namespace procedures {

// gain = (1 + (Rf + k) / (Ri + k)) × (fine + 4000) / 4000 with k = 50 / 39.0625 = 1.28, in singles
// as the dialog has always shown it.
float amplifierGain(int rf, int ri, int fine);

// The gain as plain decimal text with up to 7 significant digits ("1.014835").
QString gainText(float gain);

// The range entry selected for an input resistor setting: the first fixed range with that Ri,
// else the custom range.
int gainRangeForRi(int ri);

// The Ri a range entry selects; the custom range keeps the Ri scroll bar's position. An index
// outside the table counts as the custom range.
int riForGainRange(int index, int riScrollPosition);

// Whether the Ri scroll bar is shown with a range entry: only with the custom range.
bool riScrollBarShown(int index);

// The scroll-bar positions for settings read from the unit: a fine gain or null outside its
// scroll bar's range is shown as 0. Showing it changes nothing in the unit.
AmplifierSettings shownPositions(const AmplifierSettings &read);

} // namespace procedures
