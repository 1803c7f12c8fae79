// Debug texts for the developer, on stderr when QORLINK_DEBUG is set to other than "" or "0".
#pragma once

namespace qor {

// Reads QORLINK_DEBUG again; called at load and at every open.
void refresh_debug_switch();
bool debug_enabled();
void debug_print(const char *format, ...) __attribute__((format(printf, 1, 2)));

} // namespace qor
