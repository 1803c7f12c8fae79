// Framed replies (protocol 0 on both transports, protocol 1 on USB): the framed reader and the
// payload and field readers. The input is the byte stream; each frame it holds is read out, the
// last one also when the stream ends inside it.
#include "reply_results.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    qor::fuzz::InputBytes queue{data, size};
    qor::Reply reply;
    // Whatever a reply left behind, complete or not, must be safe to read out.
    while (queue.at < queue.size) {
        qor::read_frame(reply, queue);
        qor::fuzz::take_every_result(reply);
    }
    return 0;
}
