#pragma once

#include "ChannelCalls.h"
#include "FormParts.h"
#include "FreshReading.h"
#include "LiveFollowers.h"
#include "LiveValues.h"
#include "MasteringMode.h"

#include <QDialog>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// What the channel mastering dialog works with: the form's parts, the channel it has the poll
// follow (0: none) and the numbered reading the poll stores for it.
struct MasteringParts : FormParts {
    int16_t &MasteringChannel;
    MasteringReadingRecord &MasteringReading;
};

// Zeroes or masters one channel at a time against the master parts stored with the channel. The
// operator puts master 1 (and, for a two-master channel in master mode, master 2) in the gauge and
// presses the master button once per master; the dialog takes the poll's reading of the channel,
// computes the new zero (and scaling) and writes them into the channel, then offers the next one.
//
// Modeless: the poll keeps running and feeds the live value. The dialog keeps the mode it was
// shown with; a press uses only a reading of the prepared channel stored after the preparation,
// and every exchange (reading the channel's constants, writing the new ones) is a sequence of the
// link scheduler, with the master button disabled while it runs.
class FormMastering : public QDialog {
    Q_OBJECT

public:
    explicit FormMastering(MasteringParts parts, QWidget *parent = nullptr);
    ~FormMastering() override;

    // Shows the dialog for the Zero or Master command (viewMode: the main window's view) and
    // prepares the current channel afresh, discarding any reading already taken.
    void ShowMastering(procedures::MasteringMode mode, int viewMode);

    // Steps of the procedure.
    enum class Step { None = 0, WaitMaster1 = 1, WaitMaster2 = 2, Done = 4 };

    void NextChannel();
    void PrevChannel();
    // The setup now has `count` channels: a channel number beyond them comes back within, and an
    // open procedure on it starts afresh there.
    void keepChannelWithin(int count);
    // A new setup (New, Open) is in place: the channel may stand for something else now, so an
    // open procedure ends and the channel is prepared afresh, the instruction saying why.
    void setupReplaced();
    void MasterStep();
    int channel() const { return m_channel; }
    Step step() const { return m_step; }
    procedures::MasteringMode mode() const { return m_mode; }
    // Nothing is being read or written for the dialog.
    bool isIdle() const { return !m_busy; }

    void reject() override;

Q_SIGNALS:
    // A preparation or a press has ended and the dialog shows its outcome.
    void settled();

private:
    void buildControls();
    int maxChannel() const;
    void clampChannel();
    // `why` leads the instruction until the next press or move: what ended the procedure before.
    void PrepareChannel(const QString &why = {});
    void ShowChannel(const ChannelConstants &constants);
    void prepared(const ChannelConstants &constants);
    void pressForMaster1(double reading);
    void addConstantReads(LinkSequence &sequence, int channel,
                          std::initializer_list<ChannelConstant> which,
                          const std::shared_ptr<ChannelConstants> &read);
    void addWrite(LinkSequence &sequence, int channel, const char *what,
                  std::function<void(Channel &)> write);
    // The poll's reading of the channel followed: stored, numbered, and shown when it went through.
    void liveReading(const LiveReading &reading);
    void pressForMaster2(double reading);
    void afterPress(bool completed, std::optional<double> newZero,
                    std::optional<double> newScaling);
    bool CheckFormula(const ChannelConstants &constants);
    QString formatted(double value) const;
    void setInstruction(const QString &text, bool problem);
    void setBusy(bool busy);

    MasteringParts m;
    LiveSubscription m_live;
    procedures::MasteringMode m_mode = procedures::MasteringMode::master();
    int m_viewMode = 2;
    int m_channel = 0;
    int m_decimals = 5;
    Step m_step = Step::None;
    double m_reading1 = 0;
    procedures::FreshReadingGate m_gate;
    // Grows with every preparation: an outcome of an earlier one is not shown.
    int m_generation = 0;
    bool m_busy = false;
    QString m_why;

    QLabel *LblInstruction = nullptr;
    QPushButton *CommandMaster = nullptr;
    QPushButton *CommandDone = nullptr;
    QLineEdit *TextMasterChannel = nullptr;
    QToolButton *upButton = nullptr;
    QToolButton *downButton = nullptr;
    QLineEdit *TextDescription = nullptr;
    QLineEdit *TextMaster1Value = nullptr;
    QLineEdit *TextMaster2Value = nullptr;
    QLineEdit *TextChannelValue = nullptr;
    QLineEdit *TxtM1 = nullptr;
    QLineEdit *TxtM2 = nullptr;
    QLineEdit *TxtSlope = nullptr;
    QLineEdit *TxtIntercept = nullptr;
};
