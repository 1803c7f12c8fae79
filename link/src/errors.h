// Error numbers of the link and their texts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qor {

// Numbers the library raises itself; 10 to 23 come from the unit.
enum LinkError : int32_t {
    kOk = 0,
    kUsbLibraryMissing = 257,
    kUsbEntryPointMissing = 258,
    kNoResponse = 259,
    kInvalidHandle = 260,
    kCloseFailed = 261,
    kUsbDeviceFailed = 262,
    kOpenFailed = 263,
    kSendFailed = 264,
    kBadLength = 265,
    kNotInProtocol = 266,
    kCommandTooLong = 267,
};

// Room for the longest text, "Command not available in current protocol", and its zero.
inline constexpr std::size_t kErrorTextSize = 42;

// Writes the text of error into text (kErrorTextSize bytes): the table's message, or
// "Unknown error:" and the number as eight upper-case hexadecimal digits.
void describe_error(int32_t error, char *text);

} // namespace qor
