#pragma once

#include <QString>
#include <QStringList>

// The texts the group editor shows and builds from the operator's typing.

// A name as a group keeps it: carriage returns and line feeds become blanks, since a setup file
// holds one value per line. Everything else, an empty name included, stays as typed.
QString groupNameFromTyped(const QString &typed);

// A row of the available channels: the channel number, one blank, the description.
QString availableChannelRow(int channel, const QString &description);

// A row of a group's channel list: the available row of that channel; a number outside the
// available rows (a setup file may name a channel above the channel count) says so instead.
QString groupEntryRow(int channel, const QStringList &availableRows);

// The message for a channel that is already in the group: the channel's row, the group's
// position in the set and its name, on three lines.
QString doubleEntryMessage(const QString &channelRow, int groupPosition, const QString &groupName);
