#include "AmplifierGain.h"

#include "DecimalText.h"

namespace procedures {

namespace {

constexpr float GainOffset = 50.0f / 39.0625f; // k
constexpr float FineScale = 4000.0f;
constexpr int GainDigits = 7;

bool isFixedRange(int index) {
    return index >= 0 && index < CustomGainRange;
}

} // namespace

float amplifierGain(int rf, int ri, int fine) {
    const float coarse =
        1.0f + (static_cast<float>(rf) + GainOffset) / (static_cast<float>(ri) + GainOffset);
    return coarse * (static_cast<float>(fine) + FineScale) / FineScale;
}

QString gainText(float gain) {
    return QString::fromStdString(significantText(gain, GainDigits));
}

int gainRangeForRi(int ri) {
    for (int index = 0; index < CustomGainRange; ++index) {
        if (GainRanges[static_cast<size_t>(index)].ri == ri)
            return index;
    }
    return CustomGainRange;
}

int riForGainRange(int index, int riScrollPosition) {
    return isFixedRange(index) ? GainRanges[static_cast<size_t>(index)].ri : riScrollPosition;
}

bool riScrollBarShown(int index) {
    return !isFixedRange(index);
}

AmplifierSettings shownPositions(const AmplifierSettings &read) {
    AmplifierSettings shown = read;
    if (!FineGainRange.contains(shown.fine))
        shown.fine = 0;
    if (!NullRange.contains(shown.null))
        shown.null = 0;
    return shown;
}

} // namespace procedures
