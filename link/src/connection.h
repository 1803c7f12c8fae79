// The library's one connection record and the one info record, opening, closing and reporting.
#pragma once

#include "protocol.h"
#include "qorlink.h"
#include "transport.h"
#include "transport_serial.h"
#include "transport_usb.h"

#include <cstdint>

struct QorConnection {
    int32_t size = 0; // kOpenedTag once opened; stays after a close
    int32_t port = 0;
    int32_t protocol = 0;
    QorErrorHandler handler = nullptr;
    int32_t error = 0;         // error number of the last operation
    uint32_t deviceStatus = 0; // status of the last D2XX call that failed
    int32_t isOpen = 0;
    int os_error = 0; // errno taken at the moment the last system call failed
    const qor::Transport *transport = &qor::kNoTransport;
    qor::SerialLine serial;
    qor::UsbDevice usb;
    qor::Request request;
    qor::Reply reply;
};

namespace qor {

inline constexpr int32_t kInfoTag = 24;
inline constexpr int32_t kOpenedTag = 116;
inline constexpr int32_t kUsbPort = 4096;

QorInfo *init_info(int32_t port, int32_t baud, int32_t protocol, QorErrorHandler handler);
QorHandle open_connection(QorInfo *info);
int32_t close_connection(QorHandle handle);

// The record behind handle, or nullptr when handle is not the library's opened record.
QorConnection *checked(QorHandle handle);

// Runs the connection's error handler once when its last operation failed.
void report(QorConnection &connection);

int32_t QORAPI default_error_handler(QorHandle handle);

} // namespace qor
