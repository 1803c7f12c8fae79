// What both reply fuzz targets share: a transport that serves the input's bytes, and taking
// every result out of a reply into buffers exactly as large as callers give.
#pragma once

#include "protocol.h"
#include "qorlink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace qor::fuzz {

// Serves the input as a serial line or USB queue would: at most what is left, never more.
struct InputBytes {
    const uint8_t *data;
    std::size_t size;
    std::size_t at = 0;
    std::size_t operator()(uint8_t *out, std::size_t count, int32_t &) {
        const std::size_t served = std::min(count, size - at);
        if (served > 0) {
            std::memcpy(out, data + at, served);
        }
        at += served;
        return served;
    }
};

inline void take_every_result(const Reply &reply) {
    auto text = std::make_unique<char[]>(QOR_TEXT_BUFFER_SIZE);
    for (const Field field : {Field::A, Field::B, Field::C}) {
        copy_text(reply.field(field), text.get());
        volatile float real = parse_real(reply.field(field));
        volatile int32_t integer = parse_int(reply.field(field));
        (void)real;
        (void)integer;
    }
    copy_text(payload_text(reply), text.get());
    for (std::size_t offset = 0; offset < 300; offset += 7) {
        volatile float real = payload_real(reply, offset);
        volatile int16_t word = payload_le16(reply, offset);
        volatile uint8_t byte = payload_byte(reply, offset);
        (void)real;
        (void)word;
        (void)byte;
    }
}

} // namespace qor::fuzz
