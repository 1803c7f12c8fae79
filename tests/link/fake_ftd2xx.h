// Controls of the stand-in D2XX library, reached by the tests through dlsym on the same library
// the link has loaded.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
// Forgets calls, replies and failures.
using FakeReset = void (*)();
// Makes the named entry point return status from now on (0 puts it right again).
using FakeFail = void (*)(const char *entry, unsigned long status);
// Bytes the device makes readable after the next FT_Write.
using FakeQueueReply = void (*)(const uint8_t *bytes, std::size_t count);
// One line per configuration call, as "FT_SetBaudRate 115200".
using FakeCalls = const char *(*)();
// Everything written to the device so far.
using FakeWritten = std::size_t (*)(uint8_t *out, std::size_t capacity);
}
