#pragma once

#include <QString>

struct LinkSession;
struct StationConfig;

// The three texts of the About box, lines separated by "\n".
struct AboutTexts {
    QString description;
    QString firmware;
    QString library;
};

// Builds the texts; asks the unit for its firmware version when the link is open, and names the
// link library file the loader actually mapped, with the version its file name carries.
AboutTexts buildAboutTexts(LinkSession &session, const StationConfig &config);

// The version a shared library's file name carries after ".so." ("libqorlink.so.6.0.0" gives
// "6.0.0"); empty when it carries none.
QString libraryVersionOf(const QString &fileName);
