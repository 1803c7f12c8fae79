// Feeds arbitrary bytes to the reply assembler and the framed reader, then takes every result
// out of the reply, into buffers exactly as large as callers give.
#include "protocol.h"
#include "qorlink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

struct Bytes {
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

void take_everything(const qor::Reply &reply) {
    auto text = std::make_unique<char[]>(QOR_TEXT_BUFFER_SIZE);
    for (const qor::Field field : {qor::Field::A, qor::Field::B, qor::Field::C}) {
        qor::copy_text(reply.field(field), text.get());
        volatile float real = qor::parse_real(reply.field(field));
        volatile int32_t integer = qor::parse_int(reply.field(field));
        (void)real;
        (void)integer;
    }
    qor::copy_text(qor::payload_text(reply), text.get());
    for (std::size_t offset = 0; offset < 300; offset += 7) {
        volatile float real = qor::payload_real(reply, offset);
        volatile int16_t word = qor::payload_le16(reply, offset);
        (void)real;
        (void)word;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    qor::Reply reply;
    Bytes line{data, size};
    if (qor::read_line(reply, line) != qor::kNoResponse) {
        take_everything(reply);
    }
    Bytes frame{data, size};
    if (qor::read_frame(reply, frame) != qor::kBadLength) {
        take_everything(reply);
    }
    return 0;
}
