#pragma once

#include "MeasurementObjects.h"

#include <cstdint>
#include <memory>
#include <vector>

// The objects that mirror the unit: its counts, its channels, probes and analog inputs, and the
// station's groups of channels. Object n sits at position n - 1.
struct UnitObjects {
    std::unique_ptr<QorSystem> UnitSystem;
    std::vector<std::unique_ptr<Channel>> Channels;
    std::vector<std::unique_ptr<Lvdt>> Lvdts;
    std::vector<std::unique_ptr<analog>> Analogs;
    std::vector<std::unique_ptr<group>> Groups;

    int16_t MaxAnalog = 1;
    // Digital inputs: a setup file may set the count; nothing else uses it.
    int16_t MaxDigital = 0;
    // Decimals a channel without an object of its own is shown with.
    int16_t SystemDecimals = 5;
    // Default probe full scale, kept for the run; shown and changed in the system settings.
    float LvdtFullScale = 0.05f;

    // 1-based access; nullptr outside the collection.
    Channel *channel(int n) const { return at(Channels, n); }
    Lvdt *lvdt(int n) const { return at(Lvdts, n); }
    analog *analogInput(int n) const { return at(Analogs, n); }
    group *groupAt(int n) const { return at(Groups, n); }
    int groupCount() const { return static_cast<int>(Groups.size()); }

private:
    template <typename T> static T *at(const std::vector<std::unique_ptr<T>> &v, int n) {
        return (n >= 1 && n <= static_cast<int>(v.size())) ? v[static_cast<size_t>(n - 1)].get()
                                                           : nullptr;
    }
};
