#pragma once

#include "AmplifierRequests.h"

#include <ostream>

// Requests print as the library calls they stand for, so a failed comparison of two request
// orders shows both in readable form.
namespace procedures {
inline void PrintTo(const AmpOperation &operation, std::ostream *out) {
    *out << describe(operation).toStdString();
}
} // namespace procedures
