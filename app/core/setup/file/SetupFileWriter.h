#pragma once

#include "SetupDocument.h"

#include <QByteArray>

namespace setupfile {

// The bytes of a setup file for `document`: every section in the order other programs of this
// format expect, lines ended by carriage return and line feed, numbers with "." as the decimal
// separator. Text is written as Latin-1 ("?" for a character it lacks); a line break or other
// control character inside a text becomes a blank and a text longer than a line may be is cut, so
// the file always reads back. Records whose index lies outside their count are left out.
QByteArray writeSetup(const SetupDocument &document);

} // namespace setupfile
