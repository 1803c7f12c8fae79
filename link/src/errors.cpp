#include "errors.h"

#include <cstdio>
#include <cstring>

namespace qor {
namespace {

struct ErrorText {
    int32_t number;
    const char *text;
};

// Three numbers share the USB open text: callers have always shown that one message for them.
constexpr ErrorText kErrorTexts[] = {
    {10, "Bad channel number"},
    {12, "Invalid formula"},
    {13, "Invalid formula"},
    {14, "Too many or too complex formulae"},
    {15, "Invalid probe number"},
    {16, "Invalid formula"},
    {17, "Invalid number in formula"},
    {18, "Invalid symbol"},
    {19, "Formula too complex"},
    {20, "Circular channel definition"},
    {21, "Memory full"},
    {22, "Invalid formula"},
    {23, "Invalid range in GOR or LOR function"},
    {kUsbLibraryMissing, "USB DLL could not be opened"},
    {kUsbEntryPointMissing, "USB DLL entry point missing"},
    {kNoResponse, "QOR did not respond to command"},
    {kInvalidHandle, "Invalid Qor Handle"},
    {kCloseFailed, "Qor port could not be closed"},
    {kUsbDeviceFailed, "USB DLL could not be opened"},
    {kOpenFailed, "USB DLL could not be opened"},
    {kSendFailed, "Error sending data to Qor"},
    {kBadLength, "Unexpected message length"},
    {kNotInProtocol, "Command not available in current protocol"},
    {kCommandTooLong, "Command too long"},
};

} // namespace

void describe_error(int32_t error, char *text) {
    for (const ErrorText &entry : kErrorTexts) {
        if (entry.number == error) {
            std::snprintf(text, kErrorTextSize, "%s", entry.text);
            return;
        }
    }
    std::snprintf(text, kErrorTextSize, "Unknown error:%.8X", static_cast<unsigned>(error));
}

} // namespace qor
