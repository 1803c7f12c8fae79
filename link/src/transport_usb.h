// The unit's USB interface through the D2XX library, loaded at run time.
#pragma once

#include "d2xx_api.h"
#include "transport.h"

#include <cstdint>

namespace qor {

struct UsbDevice {
    void *module = nullptr; // the loaded D2XX library; kept after a close, as the port driver is
    d2xx::Api api;          // resolved at open; all null when none is loaded
    d2xx::Handle device = nullptr;
    // Set when a reply came up short; its rest is purged before the next request (see the serial
    // line).
    bool stale_input = false;
};

extern const Transport kUsbTransport;

// Loads QORLINK_FTD2XX (else libftd2xx.so), opens device 0 and sets it to 115200 8N1 without flow
// control. On failure releases what it took and sets info_error to 257, 258, 263 or 262.
bool open_usb(QorConnection &connection, int32_t &info_error);

// Unloads the D2XX library when the link itself is unloaded.
void unload_usb(UsbDevice &usb);

} // namespace qor
