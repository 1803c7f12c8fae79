#pragma once

#include <QString>

#include <optional>

// Texts the station keeps for itself and writes into setup files (group names, probe and analog
// input descriptions). A setup file holds Latin-1, so a character beyond it would come back from
// the file as "?": such a text is refused where it is typed, with the words Channel Setup uses for
// a text the unit cannot take.
namespace setupforms {

// Why `text` cannot be kept, naming the field `fieldName`; empty when it can.
std::optional<QString> whyStationTextRefused(const QString &fieldName, const QString &text);

} // namespace setupforms
