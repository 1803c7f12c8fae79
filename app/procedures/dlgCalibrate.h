#pragma once

#include "CalibrationSession.h"
#include "CalibrationStore.h"
#include "FormParts.h"
#include "LiveValues.h"

#include <QDialog>
#include <QPoint>

#include <memory>
#include <optional>
#include <vector>

class HelpViewer;
class LinkScheduler;
class QLineEdit;
class SettingScrollBar;
struct StationConfig;

namespace Ui {
class dlgCalibrate;
}

// What the calibration dialog works with: the form's parts, the scheduler whose poll the store
// stops for its whole wait, the probe it has the poll follow (0: none), whether profiles are
// offered, and the help window.
struct CalibrationParts : FormParts {
    LinkScheduler &scheduler;
    int16_t &CalibrationLiveProbe;
    const StationConfig &config;
    HelpViewer &help;
};

// The amplifier calibration of one LVDT probe input: coarse gain, input resistor (gain range),
// fine gain and null on scroll bars, the probe's full scale and offset, its live reading. Every
// move is sent to the unit at once; OK makes the unit store its calibration, Cancel puts back
// what the dialog changed. With special calibration on it also saves and loads amplifier
// profiles. Every request goes through the link scheduler as a sequence, so the window never
// waits for more than one exchange and no poll request splits an exchange.
class dlgCalibrate : public QDialog {
    Q_OBJECT

public:
    static constexpr int HelpContext = 98496;

    dlgCalibrate(CalibrationParts parts, QWidget *parent = nullptr);
    ~dlgCalibrate() override;

    // Reads the probe's calibration and shows the dialog (modal) with its top-left corner at
    // topLeft. A probe below 1 does nothing.
    void ShowCalibrateAt(int probe, QPoint topLeft);
    void ShowDetails();
    void ShowGain();
    // Makes the unit store its calibration, with the controls disabled while it waits.
    void SaveToUnit();

    int probe() const { return m_probe; }
    // The settings were read and the controls placed; false while reading, while a profile is
    // saved or loaded, and while storing.
    bool isReady() const { return m_session.has_value() && !busyWithUnit(); }
    bool detailsShown() const { return m_detailsShown; }

    void reject() override;

Q_SIGNALS:
    // The opening reads ended: ready is false when one failed and the dialog closed.
    void opened(bool ready);
    // A store ended (after its message, if any, was answered).
    void storeFinished(bool stored);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    // A profile save or load, or a store, is under way: Cancel waits for it.
    bool busyWithUnit() const { return m_profileRunning || m_store.isRunning(); }
    void afterOpening(int probe, bool completed, const procedures::ProbeCalibration &read);
    void placeControls();
    void setBoxes(const procedures::ProbeCalibration &calibration);
    void send(const procedures::AmpExchange &exchange);
    void sendAll(const std::vector<procedures::AmpExchange> &exchanges, const QString &title);
    void moved(SettingScrollBar *bar, int position);
    void rangeSelected(int index);
    void commitFullScale();
    void refuse(QLineEdit *box, const QString &why);
    void commitOffset();
    void OKButton_Click();
    void cmdAdvanced_Click();
    void cmdSave_Click();
    void cmdLoad_Click();
    void setBusy(bool busy, const QString &status = {});
    void afterStore(bool stored, const QString &message);
    QString profileFolder() const;

    std::unique_ptr<Ui::dlgCalibrate> ui;
    CalibrationParts m;
    LiveSubscription m_live;
    CalibrationStore m_store;
    std::optional<procedures::CalibrationSession> m_session;
    int m_probe = 0;
    bool m_detailsShown = false;
    // Each box's text was typed since it was last sent or set.
    bool m_fullScaleEdited = false;
    bool m_offsetEdited = false;
    bool m_refusing = false;
    bool m_closeAfterStore = false;
    bool m_profileRunning = false;
};
