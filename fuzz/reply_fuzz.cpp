// Protocol-1 reply lines on a serial line: the "~...\r" assembler and the reading of the error
// number and fields. The input is the byte stream; each reply it holds is read out, the
// last one also when the stream ends inside it.
#include "reply_results.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    qor::fuzz::InputBytes line{data, size};
    qor::Reply reply;
    // Whatever a reply left behind, complete or not, must be safe to read out.
    while (line.at < line.size) {
        qor::read_line(reply, line);
        qor::fuzz::take_every_result(reply);
    }
    return 0;
}
