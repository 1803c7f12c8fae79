#include "SettingsWriteFailure.h"

#include "Prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes the missing folders of the path, top down, as the settings library does; why one could
// not be made, or nothing.
std::optional<QString> makeFolders(const QString &folder) {
    QStringList missing;
    for (QFileInfo at(folder); !at.exists() && !at.isRoot(); at = QFileInfo(at.absolutePath()))
        missing.prepend(at.absoluteFilePath());
    for (const QString &path : missing) {
        if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0)
            continue;
        const int error = errno;
        const QString above = QFileInfo(path).absolutePath();
        if (error == ENOTDIR || !QFileInfo(above).isDir())
            return QStringLiteral("%1 is not a folder").arg(above);
        return QStringLiteral("the folder %1 cannot be made: %2").arg(path, systemError(error));
    }
    return std::nullopt;
}

// Operator words for the keys the station writes, by section and key; an empty key stands for
// every key of its section.
struct KeyWords {
    const char *section;
    const char *key;
    const char *words;
};
constexpr KeyWords Words[] = {
    {"QorViewSettings", "", "the display window layout"},
    {"QorSettings", "MainLeft", "the main window position"},
    {"QorSettings", "MainTop", "the main window position"},
    {"QorSettings", "NewSetupFileNum", "the number of the next new setup file"},
    {"QorSettings", "DisableSetups", "setups enabled for later starts (/ENABLESETUP)"},
    {"QorSettings", "Port", "the port chosen in the Connection Wizard"},
    {"QorSettings", "BaudRate", "the baud rate chosen in the Connection Wizard"},
};

QString wordsFor(const QString &sectionAndKey) {
    const QString section = sectionAndKey.section(QLatin1Char('/'), 0, 0);
    const QString key = sectionAndKey.section(QLatin1Char('/'), 1);
    for (const KeyWords &w : Words) {
        if (section == QLatin1String(w.section) && (*w.key == '\0' || key == QLatin1String(w.key)))
            return QLatin1String(w.words);
    }
    return sectionAndKey;
}

} // namespace

QString settingsWriteReason(const QString &fileName) {
    const QFileInfo file(fileName);
    const QString folder = file.absolutePath();
    if (const auto folderProblem = makeFolders(folder))
        return *folderProblem;
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (file.exists() && ::access(QFile::encodeName(fileName).constData(), W_OK) != 0)
        return QStringLiteral("%1: %2").arg(fileName, systemError(errno));
    // The file is replaced by a new one made beside it: try that.
    QTemporaryFile probe(folder + QStringLiteral("/.qorview-settings-XXXXXX"));
    if (!probe.open())
        return QStringLiteral("no file can be made in %1: %2").arg(folder, probe.errorString());
    if (probe.write("\n", 1) != 1 || !probe.flush())
        return QStringLiteral("%1 cannot be written: %2").arg(folder, probe.errorString());
    return QStringLiteral("writing the file failed (is the disk full?)");
}

QStringList unsavedSettingsItems(const QStringList &keys) {
    QStringList items;
    for (const QString &key : keys) {
        const QString words = wordsFor(key);
        if (!items.contains(words))
            items << words;
    }
    return items;
}

void reportUnsavedSettings(const SettingsWriteFailure &failure, Prompts *prompts) {
    const QStringList items = unsavedSettingsItems(failure.keys);
    std::fprintf(stderr, "qorview: could not save %s in %s: %s\n",
                 qPrintable(items.join(QStringLiteral(", "))), qPrintable(failure.fileName),
                 qPrintable(failure.reason));
    std::fflush(stderr);
    QString text = QStringLiteral("These settings could not be saved:\r");
    for (const QString &item : items)
        text += QStringLiteral("    ") + item + QLatin1Char('\r');
    text += QStringLiteral("\rSettings file: %1\rReason: %2").arg(failure.fileName, failure.reason);
    if (prompts)
        prompts->message(text, PromptButtons::Ok, PromptIcon::Critical);
}
