// A stand-in D2XX library: records the calls the link makes and serves scripted replies.
// Built twice; FAKE_WITHOUT_QUEUE_STATUS leaves out the last entry point the link resolves.
#include "fake_ftd2xx.h"
#include "d2xx_api.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

using qor::d2xx::Handle;
using qor::d2xx::Status;

namespace {

struct Device {
    std::string calls;
    std::map<std::string, Status> failures;
    std::deque<std::vector<uint8_t>> replies;
    std::vector<uint8_t> readable;
    std::vector<uint8_t> written;
};

Device g_device;
int g_handle_storage;

Status call(const char *entry, const std::string &arguments = "") {
    g_device.calls +=
        arguments.empty() ? std::string(entry) + "\n" : std::string(entry) + " " + arguments + "\n";
    const auto failure = g_device.failures.find(entry);
    return failure == g_device.failures.end() ? 0 : failure->second;
}

std::string numbers(std::initializer_list<unsigned long> values) {
    std::string text;
    for (const unsigned long value : values) {
        text += (text.empty() ? "" : " ") + std::to_string(value);
    }
    return text;
}

} // namespace

FAKE_EXPORT void fake_reset() {
    g_device = Device{};
}

FAKE_EXPORT void fake_fail(const char *entry, unsigned long status) {
    g_device.failures[entry] = status;
}

FAKE_EXPORT void fake_queue_reply(const uint8_t *bytes, std::size_t count) {
    g_device.replies.emplace_back(bytes, bytes + count);
}

FAKE_EXPORT const char *fake_calls() {
    return g_device.calls.c_str();
}

FAKE_EXPORT std::size_t fake_written(uint8_t *out, std::size_t capacity) {
    const std::size_t count = std::min(capacity, g_device.written.size());
    std::memcpy(out, g_device.written.data(), count);
    return count;
}

FAKE_EXPORT Status FT_Open(int device, Handle *handle) {
    const Status status = call("FT_Open", std::to_string(device));
    *handle = status == 0 ? &g_handle_storage : nullptr;
    return status;
}

FAKE_EXPORT Status FT_Close(Handle) {
    return call("FT_Close");
}

FAKE_EXPORT Status FT_Read(Handle, void *buffer, uint32_t count, uint32_t *returned) {
    if (const auto failure = g_device.failures.find("FT_Read");
        failure != g_device.failures.end()) {
        return failure->second;
    }
    const std::size_t taken = std::min<std::size_t>(count, g_device.readable.size());
    std::memcpy(buffer, g_device.readable.data(), taken);
    g_device.readable.erase(g_device.readable.begin(),
                            g_device.readable.begin() + static_cast<std::ptrdiff_t>(taken));
    *returned = static_cast<uint32_t>(taken);
    return 0;
}

FAKE_EXPORT Status FT_Write(Handle, void *buffer, uint32_t count, uint32_t *written) {
    if (const auto failure = g_device.failures.find("FT_Write");
        failure != g_device.failures.end()) {
        return failure->second;
    }
    const auto *bytes = static_cast<const uint8_t *>(buffer);
    g_device.written.insert(g_device.written.end(), bytes, bytes + count);
    *written = count;
    if (!g_device.replies.empty()) {
        const std::vector<uint8_t> &reply = g_device.replies.front();
        g_device.readable.insert(g_device.readable.end(), reply.begin(), reply.end());
        g_device.replies.pop_front();
    }
    return 0;
}

FAKE_EXPORT Status FT_SetBaudRate(Handle, unsigned long rate) {
    return call("FT_SetBaudRate", numbers({rate}));
}

FAKE_EXPORT Status FT_SetDataCharacteristics(Handle, uint8_t bits, uint8_t stop, uint8_t parity) {
    return call("FT_SetDataCharacteristics", numbers({bits, stop, parity}));
}

FAKE_EXPORT Status FT_SetFlowControl(Handle, uint16_t flow, uint8_t xon, uint8_t xoff) {
    return call("FT_SetFlowControl", numbers({flow, xon, xoff}));
}

FAKE_EXPORT Status FT_ResetDevice(Handle) {
    return call("FT_ResetDevice");
}

FAKE_EXPORT Status FT_SetChars(Handle, uint8_t event, uint8_t event_enabled, uint8_t error,
                               uint8_t error_enabled) {
    return call("FT_SetChars", numbers({event, event_enabled, error, error_enabled}));
}

FAKE_EXPORT Status FT_Purge(Handle, unsigned long mask) {
    if ((mask & 1) != 0) {
        g_device.readable.clear();
    }
    return call("FT_Purge", numbers({mask}));
}

FAKE_EXPORT Status FT_SetTimeouts(Handle, unsigned long read_ms, unsigned long write_ms) {
    return call("FT_SetTimeouts", numbers({read_ms, write_ms}));
}

#ifndef FAKE_WITHOUT_QUEUE_STATUS
FAKE_EXPORT Status FT_GetQueueStatus(Handle, uint32_t *queued) {
    *queued = static_cast<uint32_t>(g_device.readable.size());
    return 0;
}
#endif
