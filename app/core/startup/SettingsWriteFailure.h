#pragma once

#include <QString>
#include <QStringList>

class Prompts;

// Settings that did not reach the settings file: which ones, the file, and why.
struct SettingsWriteFailure {
    QString fileName;
    QString reason;
    // "Section/Key" of every value that was lost, in the order they were written.
    QStringList keys;
};

// Why fileName cannot be written. The settings library says no more than that access failed, so
// the path is tried the way the library would use it: its folders created, a file made in the
// last one, a byte written.
QString settingsWriteReason(const QString &fileName);

// What was lost, in the operator's words, one item per line ("the display window layout", ...).
QStringList unsavedSettingsItems(const QStringList &keys);

// Says what could not be saved and where: on standard error, and in a box through prompts unless
// that is null (a close by signal, when nobody may be there to answer).
void reportUnsavedSettings(const SettingsWriteFailure &failure, Prompts *prompts);
