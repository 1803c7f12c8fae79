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

// Builds the texts; asks the unit for its firmware version when the link is open.
AboutTexts buildAboutTexts(LinkSession &session, const StationConfig &config);
