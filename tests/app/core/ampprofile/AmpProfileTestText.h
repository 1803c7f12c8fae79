#pragma once

#include <QByteArray>

#include <string>

// Test files are written with "\n" and turned into the CR LF lines of a real profile.
inline QByteArray crlf(const std::string &text) {
    QByteArray bytes;
    for (const char c : text) {
        if (c == '\n')
            bytes.append('\r');
        bytes.append(c);
    }
    return bytes;
}

// A profile's fixed first lines, and the block of one probe in print style.
inline const std::string ProfileStart = "[Amplifier Profile]\n[QORVIEW Version 6.0]\n";
inline const std::string ProfileEnd = "[Amplifier Profile End]\n";

inline std::string block(int probe, int ri, int rf, int fine, int null) {
    const auto field = [](int value) {
        return (value < 0 ? "" : " ") + std::to_string(value) + " \n";
    };
    return "[START_AMP_PROFILE]\n" + field(probe) + field(ri) + field(rf) + field(fine) +
           field(null) + "[END_AMP_PROFILE]\n";
}
