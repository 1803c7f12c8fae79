#include "connection.h"

#include "debug_log.h"
#include "errors.h"

#include <cstdio>

namespace qor {
namespace {

QorConnection g_connection;
QorInfo g_info;

int32_t no_send(QorConnection &, const uint8_t *, std::size_t) {
    return kOk;
}
void no_expect_reply(QorConnection &, std::size_t) {}
std::size_t no_receive(QorConnection &, uint8_t *, std::size_t, int32_t &) {
    return 0;
}
int32_t no_close(QorConnection &) {
    return kOk;
}

int32_t close_transport(QorConnection &connection) {
    const int32_t result = connection.transport->close(connection);
    if (result == kOk) {
        connection.transport = &kNoTransport;
        connection.isOpen = 0;
    }
    return result;
}

// The library's lifetime is the process's: close an open port when it goes, so that the lock and
// exclusive mode are released even when the client never calls QorClose.
__attribute__((constructor)) void on_load() {
    refresh_debug_switch();
}

__attribute__((destructor)) void on_unload() {
    if (g_connection.isOpen != 0) {
        close_transport(g_connection);
    }
    unload_usb(g_connection.usb);
}

} // namespace

const Transport kNoTransport = {no_send, no_expect_reply, no_receive, no_close, false};

int32_t QORAPI default_error_handler(QorHandle handle) {
    char text[kErrorTextSize];
    describe_error(handle != nullptr ? handle->error : 0, text);
    std::fprintf(stderr, "Qor Error: %s\n", text);
    return 0;
}

QorInfo *init_info(int32_t port, int32_t baud, int32_t protocol, QorErrorHandler handler) {
    g_info = QorInfo{kInfoTag, port, baud,
                     protocol, 0,    handler != nullptr ? handler : default_error_handler};
    return &g_info;
}

QorHandle open_connection(QorInfo *info) {
    if (info == nullptr || info->size != kInfoTag) {
        return nullptr;
    }
    info->error = 0;
    refresh_debug_switch();
    debug_print("QorOpen()\n");
    if (info->protocol != 0 && info->protocol != 1) {
        return nullptr;
    }
    QorConnection &connection = g_connection;
    // Opening again starts from a fresh line: the port or device held so far is let go first.
    if (connection.isOpen != 0) {
        close_transport(connection);
    }
    connection.protocol = info->protocol;
    const bool opened = info->port == kUsbPort
                            ? open_usb(connection, info->error)
                            : open_serial(connection, info->port, info->baud, info->error);
    if (!opened) {
        return nullptr;
    }
    connection.size = kOpenedTag;
    connection.port = info->port;
    connection.handler = info->handler != nullptr ? info->handler : default_error_handler;
    connection.error = kOk;
    connection.isOpen = 1;
    return &connection;
}

QorConnection *checked(QorHandle handle) {
    return handle == &g_connection && handle->size == kOpenedTag ? handle : nullptr;
}

int32_t close_connection(QorHandle handle) {
    QorConnection *connection = checked(handle);
    if (connection == nullptr) {
        return kInvalidHandle;
    }
    debug_print("QorClose()\n");
    if (connection->isOpen == 0) {
        return kOk;
    }
    const int32_t result = close_transport(*connection);
    if (result != kOk) {
        connection->error = result;
    }
    return result;
}

void report(QorConnection &connection) {
    if (connection.error != kOk) {
        connection.handler(&connection);
    }
}

} // namespace qor
