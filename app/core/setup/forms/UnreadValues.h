#pragma once

#include <QString>

// What the setup dialogs say about a value they could not read from the unit. Such a value is
// unknown: its box shows nothing (or what stands in for it), and the dialog will not program it
// back, since the unit would then hold the stand-in instead of what it held before.
namespace setupforms {

// "Could not read Zero from the unit; read it again before programming."
QString unreadFieldProblem(const QString &fieldName);

// unreadFieldProblem, a carriage return and the offer to read `item` ("probe 3") again, asked
// with Yes and No.
QString readAgainQuestion(const QString &fieldName, const QString &item);

} // namespace setupforms
