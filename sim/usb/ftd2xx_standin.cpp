// A stand-in for the vendor's D2XX USB library with the simulated unit inside: device 0 is a
// QOR-128 on its USB interface (115200 8N1). Each FT_Open powers a fresh unit on, configured by
// the environment variable QORSIM_OPTIONS (the qorsim command line's syntax). Replies are queued
// as soon as FT_Write delivers a request; the unit's time is the real monotonic clock.
//
// Besides the twelve entry points, qorsim_control(line) takes the control lines of qorsim
// (part, master1, noise, probe N stuck, ...) so that in-process tests can steer the unit. The
// parts the fixture places are announced (standard output, --parts-log) when the unit next
// answers a request or a control line, as the unit here has no loop of its own.
#include "clock.h"
#include "control.h"
#include "exchange_log.h"
#include "faults.h"
#include "options.h"
#include "part_announcer.h"
#include "protocol.h"
#include "unit.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using FT_STATUS = unsigned long;
using FT_HANDLE = void *;
using DWORD = std::uint32_t;

#define QORSIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

enum : FT_STATUS {
    kOk = 0,
    kInvalidHandle = 1,
    kDeviceNotFound = 2,
    kDeviceNotOpened = 3,
    kIoError = 4,
};

constexpr unsigned long kPurgeRx = 1;
constexpr unsigned long kPurgeTx = 2;

using namespace qorsim;

struct Device {
    explicit Device(const Options &o)
        : options(o), unit(o, monotonicSeconds), faults(o), line{9600, 8, false, 1} {}

    Options options;
    Unit unit;
    FaultInjector faults;
    ExchangeLog log;
    PartAnnouncer announcer;
    RequestReader reader;
    struct Byte {
        char value;
        double due;
    };
    std::deque<Byte> rx;
    LineSettings line; // as the host configured the device; it powers on at 9600 8N1

    std::size_t due() const {
        double now = monotonicSeconds();
        std::size_t n = 0;
        while (n < rx.size() && rx[n].due <= now)
            ++n;
        return n;
    }
    // The unit has hung up once its last reply is read.
    bool gone() const { return faults.hungUp() && rx.empty(); }
};

// A plain pointer, not an object with a destructor: the link library may close the device from
// its own unload, after this library's static destructors would have run.
Device *gDevice = nullptr;
std::mutex gMutex;

Device *device(FT_HANDLE handle) {
    return handle != nullptr && handle == gDevice ? gDevice : nullptr;
}

} // namespace

QORSIM_EXPORT FT_STATUS FT_Open(int deviceNumber, FT_HANDLE *handle) {
    std::lock_guard lock(gMutex);
    if (deviceNumber != 0 || handle == nullptr)
        return kDeviceNotFound;
    if (gDevice)
        return kDeviceNotOpened;
    const char *text = std::getenv("QORSIM_OPTIONS");
    OptionsResult parsed = parseOptions(splitOptionString(text ? text : ""));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "qorsim: QORSIM_OPTIONS: %s\n", parsed.error.c_str());
        return kDeviceNotFound;
    }
    gDevice = new Device(parsed.options);
    if (!parsed.options.logFile.empty() && !gDevice->log.open(parsed.options.logFile))
        std::fprintf(stderr, "qorsim: cannot open %s\n", parsed.options.logFile.c_str());
    if (!parsed.options.partsLog.empty() && !gDevice->announcer.open(parsed.options.partsLog))
        std::fprintf(stderr, "qorsim: cannot open %s\n", parsed.options.partsLog.c_str());
    *handle = gDevice;
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_Close(FT_HANDLE handle) {
    std::lock_guard lock(gMutex);
    if (!device(handle))
        return kInvalidHandle;
    delete gDevice;
    gDevice = nullptr;
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_Write(FT_HANDLE handle, void *buffer, DWORD count, DWORD *written) {
    std::lock_guard lock(gMutex);
    Device *d = device(handle);
    if (!d)
        return kInvalidHandle;
    if (d->gone())
        return kIoError;
    std::vector<Request> requests;
    d->reader.feed(std::string_view(static_cast<const char *>(buffer), count), monotonicSeconds(),
                   requests);
    for (const Request &request : requests) {
        if (!d->faults.respondsTo()) {
            d->log.write(monotonicSeconds(), request.raw, {});
            continue;
        }
        std::string reply = d->faults.answerOrRefuse(d->unit, request, Transport::Usb);
        if (!(d->line == unitUsbLine()))
            reply = d->faults.garbage(reply.size());
        reply = d->faults.shape(reply);
        double now = monotonicSeconds();
        d->log.write(now, request.raw, reply);
        for (char c : reply)
            d->rx.push_back({c, now + d->faults.delayMs() / 1000.0});
        d->announcer.announce(d->unit);
    }
    if (written)
        *written = count;
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_Read(FT_HANDLE handle, void *buffer, DWORD count, DWORD *returned) {
    std::lock_guard lock(gMutex);
    Device *d = device(handle);
    if (!d)
        return kInvalidHandle;
    if (d->gone())
        return kIoError;
    std::size_t n = std::min<std::size_t>(count, d->due());
    auto *out = static_cast<char *>(buffer);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = d->rx.front().value;
        d->rx.pop_front();
    }
    if (returned)
        *returned = static_cast<DWORD>(n);
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, DWORD *queued) {
    std::lock_guard lock(gMutex);
    Device *d = device(handle);
    if (!d)
        return kInvalidHandle;
    if (d->gone())
        return kIoError;
    if (queued)
        *queued = static_cast<DWORD>(d->due());
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_SetBaudRate(FT_HANDLE handle, unsigned long rate) {
    std::lock_guard lock(gMutex);
    Device *d = device(handle);
    if (!d)
        return kInvalidHandle;
    d->line.baud = static_cast<int>(rate);
    return kOk;
}

// Word length 7 or 8; stop bits 0 (one) or 2 (two); parity 0 none, 1 odd, 2 even, ...
QORSIM_EXPORT FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, unsigned char bits,
                                                  unsigned char stop, unsigned char parity) {
    std::lock_guard lock(gMutex);
    Device *d = device(handle);
    if (!d)
        return kInvalidHandle;
    d->line.dataBits = bits;
    d->line.stopBits = stop == 0 ? 1 : 2;
    d->line.parity = parity != 0;
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_SetFlowControl(FT_HANDLE handle, unsigned short, unsigned char,
                                          unsigned char) {
    std::lock_guard lock(gMutex);
    return device(handle) ? kOk : kInvalidHandle;
}

QORSIM_EXPORT FT_STATUS FT_ResetDevice(FT_HANDLE handle) {
    std::lock_guard lock(gMutex);
    Device *d = device(handle);
    if (!d)
        return kInvalidHandle;
    d->rx.clear();
    d->reader.reset();
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_SetChars(FT_HANDLE handle, unsigned char, unsigned char, unsigned char,
                                    unsigned char) {
    std::lock_guard lock(gMutex);
    return device(handle) ? kOk : kInvalidHandle;
}

QORSIM_EXPORT FT_STATUS FT_Purge(FT_HANDLE handle, unsigned long mask) {
    std::lock_guard lock(gMutex);
    Device *d = device(handle);
    if (!d)
        return kInvalidHandle;
    if (mask & kPurgeRx)
        d->rx.clear();
    if (mask & kPurgeTx)
        d->reader.reset();
    return kOk;
}

QORSIM_EXPORT FT_STATUS FT_SetTimeouts(FT_HANDLE handle, unsigned long, unsigned long) {
    std::lock_guard lock(gMutex);
    return device(handle) ? kOk : kInvalidHandle;
}

// Applies one control line to the open unit: 0, or -1 when no unit is open or the line is not
// understood. "status" prints the unit's state on standard output.
QORSIM_EXPORT int qorsim_control(const char *line) {
    std::lock_guard lock(gMutex);
    if (!gDevice || !line)
        return -1;
    ControlOutcome outcome = applyControl(gDevice->unit, gDevice->faults, line);
    gDevice->announcer.announce(gDevice->unit);
    if (!outcome.text.empty())
        std::fprintf(outcome.ok ? stdout : stderr, "%s\n", outcome.text.c_str());
    return outcome.ok ? 0 : -1;
}
