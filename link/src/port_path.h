// Where COM port n lives on this machine.
#pragma once

#include <cstdint>
#include <string>

namespace qor {

// QORLINK_COM<n>, else a COM<n>=PATH line of $XDG_CONFIG_HOME/qorlink/ports.conf (default
// ~/.config/qorlink/ports.conf), else of /etc/qorlink/ports.conf, else /dev/ttyS<n-1>.
std::string com_port_path(int32_t port);

} // namespace qor
