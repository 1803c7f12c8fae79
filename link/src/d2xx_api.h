// The entry points of the D2XX USB library that the link uses, declared from its programmer's
// guide. FT_STATUS is an unsigned long and FT_HANDLE an opaque pointer; counts are 32-bit.
//
// Each entry point is declared once, as a typed member of Api named exactly like the library's
// symbol; kEntries is built from those members, so a name, its type and its place in the
// resolution order cannot drift apart.
#pragma once

#include <cstdint>
#include <cstring>
#include <iterator>

namespace qor::d2xx {

using Status = unsigned long;
using Handle = void *;

struct Api {
    Status (*FT_Open)(int device, Handle *handle) = nullptr;
    Status (*FT_Close)(Handle handle) = nullptr;
    Status (*FT_Read)(Handle handle, void *buffer, uint32_t count, uint32_t *returned) = nullptr;
    Status (*FT_Write)(Handle handle, void *buffer, uint32_t count, uint32_t *written) = nullptr;
    Status (*FT_SetBaudRate)(Handle handle, unsigned long rate) = nullptr;
    Status (*FT_SetDataCharacteristics)(Handle handle, uint8_t bits, uint8_t stop,
                                        uint8_t parity) = nullptr;
    Status (*FT_SetFlowControl)(Handle handle, uint16_t flow, uint8_t xon, uint8_t xoff) = nullptr;
    Status (*FT_ResetDevice)(Handle handle) = nullptr;
    Status (*FT_SetChars)(Handle handle, uint8_t event, uint8_t event_enabled, uint8_t error,
                          uint8_t error_enabled) = nullptr;
    Status (*FT_Purge)(Handle handle, unsigned long mask) = nullptr;
    Status (*FT_SetTimeouts)(Handle handle, unsigned long read_ms,
                             unsigned long write_ms) = nullptr;
    Status (*FT_GetQueueStatus)(Handle handle, uint32_t *queued) = nullptr;
};

// One row of the resolution table: the symbol's name and how to store what dlsym found for it.
struct Entry {
    const char *name;
    void (*store)(Api &api, void *symbol);
};

// dlsym gives an object pointer; the bytes are copied because C++ has no conversion from it to a
// function pointer.
template <auto Member> void store_symbol(Api &api, void *symbol) {
    static_assert(sizeof(api.*Member) == sizeof symbol);
    std::memcpy(&(api.*Member), &symbol, sizeof symbol);
}

#define QOR_D2XX_ENTRY(member)                                                                     \
    Entry {                                                                                        \
#member, &store_symbol < &Api::member>                                                     \
    }

// Resolved by name in this order; the first one missing fails the open.
inline constexpr Entry kEntries[] = {
    QOR_D2XX_ENTRY(FT_Open),           QOR_D2XX_ENTRY(FT_Close),
    QOR_D2XX_ENTRY(FT_Read),           QOR_D2XX_ENTRY(FT_Write),
    QOR_D2XX_ENTRY(FT_SetBaudRate),    QOR_D2XX_ENTRY(FT_SetDataCharacteristics),
    QOR_D2XX_ENTRY(FT_SetFlowControl), QOR_D2XX_ENTRY(FT_ResetDevice),
    QOR_D2XX_ENTRY(FT_SetChars),       QOR_D2XX_ENTRY(FT_Purge),
    QOR_D2XX_ENTRY(FT_SetTimeouts),    QOR_D2XX_ENTRY(FT_GetQueueStatus),
};

#undef QOR_D2XX_ENTRY

// Every member of Api has its row.
static_assert(sizeof(Api) == std::size(kEntries) * sizeof(Api{}.FT_Open));

inline constexpr unsigned long kPurgeReceive = 1;
inline constexpr unsigned long kPurgeBoth = 3;
inline constexpr unsigned long kLineRate = 115200;

} // namespace qor::d2xx
