#pragma once

#include <QString>

// Fixed for the run once start-up has read the settings and the command line.
struct StationConfig {
    QString ProductName = QStringLiteral("QOR-128");
    QString CompanyName = QStringLiteral("Qor Instruments");
    // The help document, and whether it could be opened at start-up.
    QString HelpFilePath;
    bool HelpAttached = false;
    bool WizardAtStart = false;
    // Enables the Setup menu and opening a row's set-up from the displays.
    bool SetupsEnabled = true;
    bool SpecialCalibrate = false;
};
