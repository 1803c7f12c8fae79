#pragma once

#include "PartRecord.h"

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

// Where a part document differs from the part as the measurement log keeps it: every field, and
// every value, nominal and limit as the station shows it (with the channel's decimals). Empty when
// the document says exactly what the log says.
QStringList differencesFromLog(const QByteArray &document, const measurelog::PartRecord &part);
QStringList differencesFromLog(const QJsonObject &document, const measurelog::PartRecord &part);
