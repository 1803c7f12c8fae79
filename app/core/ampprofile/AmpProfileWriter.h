#pragma once

#include "AmpProfileDocument.h"

#include <QByteArray>

namespace procedures {

// The bytes of an amplifier profile file: the header lines, the general section with the probe
// count (left out when the document has none), one block per probe in document order and the end
// line; every line ends with carriage return and line feed, every number is in print style
// (" 85 ", "-20 ").
QByteArray writeAmpProfile(const AmpProfileDocument &document);

} // namespace procedures
