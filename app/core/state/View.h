#pragma once

#include <cstdint>

// What the main list shows. The settings store and setup files keep it as its number; any other
// number there means no list.
enum class View : int16_t {
    None = 0,
    Group = 1,
    Channels = 2,
    Probes = 3,
    Analogs = 4,
    Digitals = 5
};

constexpr View viewFromNumber(int number) {
    return number >= 1 && number <= 5 ? static_cast<View>(number) : View::None;
}
constexpr int viewNumber(View view) {
    return static_cast<int>(view);
}
