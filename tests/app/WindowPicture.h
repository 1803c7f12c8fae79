#pragma once

#include <QCoreApplication>
#include <QString>
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
