// The entry points of the D2XX USB library that the link uses, declared from its programmer's
// guide. FT_STATUS is an unsigned long and FT_HANDLE an opaque pointer; counts are 32-bit.
#pragma once

#include <cstdint>

namespace qor::d2xx {

using Status = unsigned long;
using Handle = void *;

using Open = Status (*)(int device, Handle *handle);
using Close = Status (*)(Handle handle);
using Read = Status (*)(Handle handle, void *buffer, uint32_t count, uint32_t *returned);
using Write = Status (*)(Handle handle, void *buffer, uint32_t count, uint32_t *written);
using SetBaudRate = Status (*)(Handle handle, unsigned long rate);
using SetDataCharacteristics = Status (*)(Handle handle, uint8_t bits, uint8_t stop,
                                          uint8_t parity);
using SetFlowControl = Status (*)(Handle handle, uint16_t flow, uint8_t xon, uint8_t xoff);
using ResetDevice = Status (*)(Handle handle);
using SetChars = Status (*)(Handle handle, uint8_t event, uint8_t event_enabled, uint8_t error,
                            uint8_t error_enabled);
using Purge = Status (*)(Handle handle, unsigned long mask);
using SetTimeouts = Status (*)(Handle handle, unsigned long read_ms, unsigned long write_ms);
using GetQueueStatus = Status (*)(Handle handle, uint32_t *queued);

// Resolved by name in this order; the first one missing fails the open.
enum Entry {
    kOpen,
    kClose,
    kRead,
    kWrite,
    kSetBaudRate,
    kSetDataCharacteristics,
    kSetFlowControl,
    kResetDevice,
    kSetChars,
    kPurge,
    kSetTimeouts,
    kGetQueueStatus,
    kEntryCount
};

inline constexpr const char *kEntryNames[kEntryCount] = {
    "FT_Open",           "FT_Close",       "FT_Read",
    "FT_Write",          "FT_SetBaudRate", "FT_SetDataCharacteristics",
    "FT_SetFlowControl", "FT_ResetDevice", "FT_SetChars",
    "FT_Purge",          "FT_SetTimeouts", "FT_GetQueueStatus",
};

inline constexpr unsigned long kPurgeReceive = 1;
inline constexpr unsigned long kPurgeBoth = 3;
inline constexpr unsigned long kLineRate = 115200;

} // namespace qor::d2xx
