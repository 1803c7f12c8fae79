#include "transport_usb.h"

#include "connection.h"
#include "debug_log.h"
#include "errors.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace qor {
namespace {

// The unit gets 10000 queue polls to answer. Pacing them 100 us apart on a monotonic clock makes
// that about a second instead of a busy loop whose length depends on the machine.
constexpr int kQueuePolls = 10000;
constexpr long kPollSpacingNs = 100000;

void fail_status(QorConnection &connection, d2xx::Status status) {
    connection.deviceStatus = static_cast<uint32_t>(status);
}

int32_t usb_send(QorConnection &connection, const uint8_t *data, std::size_t count) {
    UsbDevice &usb = connection.usb;
    if (usb.stale_input) {
        usb.api.FT_Purge(usb.device, d2xx::kPurgeReceive);
        usb.stale_input = false;
    }
    uint32_t written = 0;
    const d2xx::Status status = usb.api.FT_Write(usb.device, const_cast<uint8_t *>(data),
                                                 static_cast<uint32_t>(count), &written);
    if (status != 0) {
        fail_status(connection, status);
        return kSendFailed;
    }
    return written == count ? kOk : kSendFailed;
}

void pause_until(const timespec &start, int poll) {
    const long long ns = start.tv_nsec + static_cast<long long>(poll) * kPollSpacingNs;
    timespec when{start.tv_sec + static_cast<time_t>(ns / 1000000000),
                  static_cast<long>(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &when, nullptr) == EINTR) {
    }
}

bool wait_for_queue(const UsbDevice &usb, std::size_t count) {
    const auto queue_status = usb.api.FT_GetQueueStatus;
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (int poll = 0; poll < kQueuePolls; ++poll) {
        if (poll > 0) {
            pause_until(start, poll);
        }
        uint32_t queued = 0;
        if (queue_status(usb.device, &queued) == 0 && queued >= count) {
            return true;
        }
    }
    return false;
}

// Nothing to arm: a reply is already bounded by the queue polls, at most two waits (header, then
// payload) of 10000 polls 100 us apart, about two seconds however its bytes trickle in; FT_Read
// is only called for bytes the queue already holds.
void usb_expect_reply(QorConnection &, std::size_t) {}

std::size_t usb_receive(QorConnection &connection, uint8_t *out, std::size_t count,
                        int32_t &error) {
    UsbDevice &usb = connection.usb;
    if (!wait_for_queue(usb, count)) {
        usb.stale_input = true;
        return 0;
    }
    uint32_t got = 0;
    const d2xx::Status status =
        usb.api.FT_Read(usb.device, out, static_cast<uint32_t>(count), &got);
    if (status != 0) {
        fail_status(connection, status);
        error = kUsbDeviceFailed;
        return 0;
    }
    return got;
}

int32_t usb_close(QorConnection &connection) {
    UsbDevice &usb = connection.usb;
    if (usb.device == nullptr) {
        return kOk;
    }
    const d2xx::Status status = usb.api.FT_Close(usb.device);
    if (status != 0) {
        fail_status(connection, status);
        return kCloseFailed;
    }
    usb.device = nullptr;
    return kOk;
}

// Device set-up in the order the unit's USB bridge expects; the first refusal fails the open.
d2xx::Status configure(const UsbDevice &usb) {
    d2xx::Handle device = usb.device;
    d2xx::Status status = usb.api.FT_ResetDevice(device);
    if (status == 0) {
        status = usb.api.FT_SetBaudRate(device, d2xx::kLineRate);
    }
    if (status == 0) {
        status = usb.api.FT_SetDataCharacteristics(device, 8, 0, 0);
    }
    if (status == 0) {
        status = usb.api.FT_SetFlowControl(device, 0, 0, 0);
    }
    if (status == 0) {
        status = usb.api.FT_SetChars(device, 0, 0, 0, 0);
    }
    return status;
}

void unload_module(void *module) {
    if (module != nullptr) {
        dlclose(module);
    }
}

bool fail_open(UsbDevice &usb, void *module, int32_t error, int32_t &info_error) {
    unload_module(module);
    usb.api = {};
    info_error = error;
    return false;
}

} // namespace

bool open_usb(QorConnection &connection, int32_t &info_error) {
    UsbDevice &usb = connection.usb;
    const char *configured = std::getenv("QORLINK_FTD2XX");
    const char *path = configured != nullptr && configured[0] != '\0' ? configured : "libftd2xx.so";
    void *module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        debug_print("\n%s\n", dlerror());
        return fail_open(usb, nullptr, kUsbLibraryMissing, info_error);
    }
    // The library loaded by an earlier open is given up only now, so reopening the same library
    // does not unload and reload it.
    unload_module(usb.module);
    usb.module = nullptr;
    for (const d2xx::Entry &entry : d2xx::kEntries) {
        void *symbol = dlsym(module, entry.name);
        if (symbol == nullptr) {
            debug_print("\n%s missing\n", entry.name);
            return fail_open(usb, module, kUsbEntryPointMissing, info_error);
        }
        entry.store(usb.api, symbol);
    }
    d2xx::Handle device = nullptr;
    const d2xx::Status opened = usb.api.FT_Open(0, &device);
    if (opened != 0) {
        fail_status(connection, opened);
        usb.device = nullptr;
        return fail_open(usb, module, kOpenFailed, info_error);
    }
    usb.device = device;
    usb.stale_input = false;
    if (const d2xx::Status status = configure(usb); status != 0) {
        fail_status(connection, status);
        usb.api.FT_Close(device);
        usb.device = nullptr;
        return fail_open(usb, module, kUsbDeviceFailed, info_error);
    }
    usb.api.FT_Purge(device, d2xx::kPurgeBoth);
    usb.module = module;
    connection.transport = &kUsbTransport;
    return true;
}

void unload_usb(UsbDevice &usb) {
    unload_module(usb.module);
    usb.module = nullptr;
    usb.api = {};
}

const Transport kUsbTransport = {usb_send, usb_expect_reply, usb_receive, usb_close, true};

} // namespace qor
