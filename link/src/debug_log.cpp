#include "debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qor {
namespace {
bool g_debug = false;
} // namespace

void refresh_debug_switch() {
    const char *value = std::getenv("QORLINK_DEBUG");
    g_debug = value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

bool debug_enabled() {
    return g_debug;
}

void debug_print(const char *format, ...) {
    if (!g_debug) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

} // namespace qor
