#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>

// Shows a window, lets it lay itself out and saves what it draws as a PNG file; says so on
// standard output, for the picture scripts.
inline bool saveWindowPicture(QWidget &window, const QString &file) {
    window.show();
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
    return saved;
}

// What every picture tool sets up before its QApplication: the offscreen platform (unless one is
// asked for) and a settings folder of its own, so the operator's settings are never touched.
class PictureSession {
public:
    PictureSession() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", m_config.filePath(QStringLiteral("data")).toLocal8Bit());
    }

    // The folder named by the tool's first argument, else fallback; created when missing.
    static QString folder(int argc, char **argv, const char *fallback) {
        const QString folder =
            argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString::fromLatin1(fallback);
        QDir().mkpath(folder);
        return folder;
    }

private:
    QTemporaryDir m_config;
};
