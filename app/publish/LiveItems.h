#pragma once

#include <QString>

#include <optional>

// The names under which other programs find the station's live channel values: the program,
// the topic and one item per channel, and the link text that names an item in full
// ("qorview|Display!labelChan(3)").
namespace LiveItems {

inline constexpr char ServiceName[] = "org.qorview.QorView";
inline constexpr char ObjectPath[] = "/Display";
inline constexpr char InterfaceName[] = "org.qorview.Display1";
inline constexpr char UnknownItemError[] = "org.qorview.Error.UnknownItem";
// Clipboard type of a link text.
inline constexpr char LinkMimeType[] = "application/x-qorview-link";

QString application();
QString topic();

// "labelChan(n)".
QString itemName(int channel);
// The channel an item names; nothing unless the name is exactly "labelChan(" followed by a
// channel number from 1 on, written without sign or leading zeros, and ")", so that every item
// has one name only.
std::optional<int> channelOfItem(const QString &item);

// "application|topic!item".
QString linkText(const QString &application, const QString &topic, const QString &item);

} // namespace LiveItems
