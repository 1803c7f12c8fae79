// Error numbers of the link and their texts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qorlink.h"

namespace qor {

// Numbers the library raises itself; 10 to 23 come from the unit.
enum LinkError : int32_t {
    kOk = QOR_OK,
    kUsbLibraryMissing = QOR_ERR_USB_LIBRARY_MISSING,
    kUsbEntryPointMissing = QOR_ERR_USB_ENTRY_POINT_MISSING,
    kNoResponse = QOR_ERR_NO_RESPONSE,
    kInvalidHandle = QOR_ERR_INVALID_HANDLE,
    kCloseFailed = QOR_ERR_CLOSE_FAILED,
    kUsbDeviceFailed = QOR_ERR_USB_DEVICE_FAILED,
    kOpenFailed = QOR_ERR_OPEN_FAILED,
    kSendFailed = QOR_ERR_SEND_FAILED,
    kBadLength = QOR_ERR_BAD_LENGTH,
    kNotInProtocol = QOR_ERR_NOT_IN_PROTOCOL,
    kCommandTooLong = QOR_ERR_COMMAND_TOO_LONG,
};

// Room for the longest text, "Command not available in current protocol", and its zero.
inline constexpr std::size_t kErrorTextSize = QOR_ERROR_TEXT_SIZE;

// Writes the text of error into text (kErrorTextSize bytes): the table's message, or
// "Unknown error:" and the number as eight upper-case hexadecimal digits.
void describe_error(int32_t error, char *text);

} // namespace qor
