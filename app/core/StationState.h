#pragma once

#include "LinkLibrary.h"
#include "MeasurementObjects.h"
#include "WindowLayout.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class Prompts;
class SettingsStore;
class StationHelp;

// The program-wide values every form shares. One instance lives for the whole run; forms receive
// it by reference instead of reaching for globals. Names follow the station's documentation.
struct StationState {
    StationState(LinkLibrary &linkLibrary, Prompts &promptBoxes, SettingsStore &settingsStore)
        : link(linkLibrary), prompts(promptBoxes), settings(settingsStore) {}

    LinkLibrary &link;
    Prompts &prompts;
    SettingsStore &settings;

    // Product and paths.
    QString ProductName = QStringLiteral("QOR-128");
    QString CompanyName = QStringLiteral("Qor Instruments");
    QString AppPath;
    int IconResourceId = 101;
    QString HelpFilePath;
    bool HelpAttached = false;
    // The help window (ShowHelpContext, CloseHelp); set by the start-up code.
    StationHelp *Help = nullptr;

    // Start-up switches.
    bool WizardAtStart = false;
    bool SetupsEnabled = true;
    bool SpecialCalibrate = false;

    // The link.
    int ReportLinkErrors = 0;
    // True while the link error handler's box is open: the failed call has not returned yet, so
    // the poll must not call the library from the box's event loop.
    bool InLinkErrorHandler = false;
    QorInfo *LinkInfo = nullptr;
    QorHandle LinkHandle = nullptr;
    std::array<char, QOR_TEXT_BUFFER_SIZE> ReplyText{};

    // Unit-wide values.
    int16_t MaxAnalog = 1;
    int16_t MaxDigital = 0;
    int16_t MaxStrain = 1;
    float LvdtFullScale = 0.05f;
    int16_t SystemDecimals = 5;
    int16_t ScanTime = 0;
    int16_t AdcAverage = 0;
    int16_t RunAverage = 0;

    // Setup in memory.
    int16_t NewSetupFileNum = 1;
    QString SetupFileName;
    bool SetupChanged = false;

    // Views and the poll cycle.
    int16_t ViewMode = 2;
    int16_t SelectedGroup = 0;
    bool GroupSelectCancelled = false;
    int PollHold = 0;
    bool UpdatesOn = false;
    WindowLayoutValues WindowLayout{};

    // Live values wanted by dialogs (0 = none).
    int16_t MasteringChannel = 0;
    double MasteringReading = 0.0;
    int16_t MasteringGroup = 0;
    int16_t ChannelSetupLiveChannel = 0;
    int16_t LvdtSetupLiveInput = 0;
    int16_t AnalogSetupLiveInput = 0;
    int16_t ZeroMode = 0;

    // Clients following live values; stays 0 until publishing exists.
    int DdeLinkCount = 0;

    // The measurement objects; object n sits at position n - 1.
    std::unique_ptr<QorSystem> UnitSystem;
    std::vector<std::unique_ptr<Channel>> Channels;
    std::vector<std::unique_ptr<Lvdt>> Lvdts;
    std::vector<std::unique_ptr<analog>> Analogs;
    std::vector<std::unique_ptr<group>> Groups;

    // 1-based access; nullptr outside the collection.
    Channel *channel(int n) const { return at(Channels, n); }
    Lvdt *lvdt(int n) const { return at(Lvdts, n); }
    analog *analogInput(int n) const { return at(Analogs, n); }
    group *groupAt(int n) const { return at(Groups, n); }

    // The text the library left in ReplyText, up to its first zero.
    QString replyText() const { return QString::fromLatin1(ReplyText.data()); }

private:
    template <typename T> static T *at(const std::vector<std::unique_ptr<T>> &v, int n) {
        return (n >= 1 && n <= static_cast<int>(v.size())) ? v[static_cast<size_t>(n - 1)].get()
                                                           : nullptr;
    }
};
