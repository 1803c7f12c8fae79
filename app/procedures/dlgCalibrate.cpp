#include "dlgCalibrate.h"
#include "ui_dlgCalibrate.h"

#include "AmpExchangeSteps.h"
#include "AmpProfileProgramming.h"
#include "AmpProfileStore.h"
#include "AmplifierGain.h"
#include "CalibrationNumbers.h"
#include "HelpFile.h"
#include "LinkScheduler.h"
#include "Prompts.h"
#include "SaveWait.h"
#include "SetupFolder.h"
#include "SetupSession.h"
#include "StationConfig.h"
#include "StationIcon.h"
#include "Twips.h"
#include "UnitObjects.h"

#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QSignalBlocker>

using namespace procedures;

namespace {

constexpr double DetailsWidthTwips = 6200;
constexpr double PlainWidthTwips = 4080;

QChar regionalDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

} // namespace

dlgCalibrate::dlgCalibrate(CalibrationParts parts, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::dlgCalibrate>()), m(parts),
      m_store(parts.session, parts.scheduler) {
    ui->setupUi(this);
    setWindowIcon(stationIcon());
    setModal(true);

    const struct {
        SettingScrollBar *bar;
        SettingRange range;
    } bars[] = {{ui->vscrGainCoarse, CoarseGainRange},
                {ui->vscrRi, InputResistorRange},
                {ui->vscrGainFine, FineGainRange},
                {ui->vscrNull, NullRange}};
    for (const auto &b : bars) {
        b.bar->setPositionRange(b.range.minimum, b.range.maximum);
        SettingScrollBar *bar = b.bar;
        connect(bar, &SettingScrollBar::positionChanged, this,
                [this, bar](int position) { moved(bar, position); });
    }
    for (const GainRangeEntry &entry : GainRanges)
        ui->cboGainSelect->addItem(QString(entry.name), entry.ri);
    connect(ui->cboGainSelect, &QComboBox::currentIndexChanged, this, &dlgCalibrate::rangeSelected);

    connect(ui->txtFullScale, &QLineEdit::textEdited, this, [this] { m_fullScaleEdited = true; });
    connect(ui->txtOffset, &QLineEdit::textEdited, this, [this] { m_offsetEdited = true; });
    connect(ui->txtFullScale, &QLineEdit::editingFinished, this, &dlgCalibrate::commitFullScale);
    connect(ui->txtOffset, &QLineEdit::editingFinished, this, &dlgCalibrate::commitOffset);

    connect(ui->OKButton, &QPushButton::clicked, this, &dlgCalibrate::OKButton_Click);
    connect(ui->CancelButton, &QPushButton::clicked, this, &dlgCalibrate::reject);
    connect(ui->cmdHelp, &QPushButton::clicked, this,
            [this] { m.help.ShowHelpContext(HelpContext); });
    connect(ui->cmdAdvanced, &QPushButton::clicked, this, &dlgCalibrate::cmdAdvanced_Click);
    connect(ui->cmdSave, &QPushButton::clicked, this, &dlgCalibrate::cmdSave_Click);
    connect(ui->cmdLoad, &QPushButton::clicked, this, &dlgCalibrate::cmdLoad_Click);

    connect(&m_store, &CalibrationStore::progressed, ui->prgStore, &QProgressBar::setValue);
    connect(&m_store, &CalibrationStore::finished, this, &dlgCalibrate::afterStore);
    ui->prgStore->setMaximum(SaveStatusPolls);
    m_live = m.live.follow(
        TickPlace::Calibration, [this] { return LiveObject::probe(m.CalibrationLiveProbe); },
        [this](const LiveReading &reading) {
            if (!reading.failed())
                ui->lblLiveValue->setText(reading.text());
        });

    ShowDetails();
}

dlgCalibrate::~dlgCalibrate() {
    m.CalibrationLiveProbe = 0;
    // A box losing the focus while the window goes away must not reach this half-destroyed
    // dialog.
    for (QWidget *control : findChildren<QWidget *>())
        control->disconnect(this);
}

void dlgCalibrate::ShowCalibrateAt(int probe, QPoint topLeft) {
    if (probe < 1)
        return;
    m_probe = probe;
    m_session.reset();
    m_fullScaleEdited = m_offsetEdited = false;
    m_closeAfterStore = false;
    ui->lblProbe->setText(QStringLiteral("Probe ") + QString::number(probe));
    ui->lblLiveValue->clear();
    move(topLeft);
    setBusy(true, tr("Reading the amplifier settings..."));

    // Opening only reads: the controls are placed from what came back without sending anything.
    auto readings = std::make_shared<AmpReadings>();
    LinkSequence sequence(QStringLiteral("Calibration of probe %1: read").arg(probe));
    addExchange(sequence, m.session, CalibrationSession::openRequests(probe), readings);
    sequence.finished = [self = QPointer(this), probe, readings](bool completed) {
        if (dlgCalibrate *const dialog = self.data())
            dialog->afterOpening(probe, completed, readings->probe);
    };
    m.sequences.run(std::move(sequence));

    m_detailsShown = true;
    ShowDetails();
    show();
    raise();
    activateWindow();
}

void dlgCalibrate::afterOpening(int probe, bool completed, const ProbeCalibration &read) {
    if (probe != m_probe || !isVisible())
        return;
    if (!completed) {
        // The link error handler has said what failed; there is nothing to calibrate.
        setBusy(false);
        QDialog::reject();
        Q_EMIT opened(false);
        return;
    }
    m_session.emplace(probe, read);
    placeControls();
    setBoxes(read);
    setBusy(false);
    m.CalibrationLiveProbe = static_cast<int16_t>(probe);
    Q_EMIT opened(true);
}

void dlgCalibrate::placeControls() {
    const QSignalBlocker coarse(ui->vscrGainCoarse), ri(ui->vscrRi), fine(ui->vscrGainFine),
        null(ui->vscrNull), range(ui->cboGainSelect);
    const AmplifierSettings &at = m_session->positions();
    ui->vscrGainCoarse->setPosition(at.rf);
    ui->vscrRi->setPosition(at.ri);
    ui->vscrGainFine->setPosition(at.fine);
    ui->vscrNull->setPosition(at.null);
    ui->cboGainSelect->setCurrentIndex(m_session->gainRange());
    ui->vscrRi->setVisible(m_session->riScrollBarShown());
    ShowGain();
}

void dlgCalibrate::setBoxes(const ProbeCalibration &calibration) {
    ui->txtFullScale->setText(boxText(calibration.fullScale));
    ui->txtOffset->setText(boxText(calibration.zeroOffset));
    m_fullScaleEdited = m_offsetEdited = false;
}

void dlgCalibrate::ShowDetails() {
    const bool special = m.config.SpecialCalibrate;
    ui->cmdSave->setVisible(special);
    ui->cmdLoad->setVisible(special);
    ui->panelDetails->setVisible(m_detailsShown);
    ui->cmdAdvanced->setText(m_detailsShown ? QStringLiteral("<< No Details")
                                            : QStringLiteral("Details >>"));
    const double twips = m_detailsShown ? DetailsWidthTwips : PlainWidthTwips;
    setFixedWidth(Twips::toPixelsX(twips, this));
    adjustSize();
}

void dlgCalibrate::ShowGain() {
    const int rf = ui->vscrGainCoarse->position();
    const int ri = ui->vscrRi->position();
    const int fine = ui->vscrGainFine->position();
    ui->lblCurrentGain->setText(gainText(amplifierGain(rf, ri, fine)));
    ui->lblCurrentRi->setText(QString::number(ri));
    ui->lblCurrentRf->setText(QString::number(rf));
    ui->lblCurrentFine->setText(QString::number(fine));
    ui->lblCurrentNull->setText(QString::number(ui->vscrNull->position()));
}

void dlgCalibrate::send(const AmpExchange &exchange) {
    if (exchange.empty())
        return;
    LinkSequence sequence(describe(exchange));
    addExchange(sequence, m.session, exchange, std::make_shared<AmpReadings>());
    m.sequences.run(std::move(sequence));
}

void dlgCalibrate::sendAll(const std::vector<AmpExchange> &exchanges, const QString &title) {
    if (exchanges.empty())
        return;
    LinkSequence sequence(title);
    auto readings = std::make_shared<AmpReadings>();
    for (const AmpExchange &exchange : exchanges)
        addExchange(sequence, m.session, exchange, readings);
    m.sequences.run(std::move(sequence));
}

void dlgCalibrate::moved(SettingScrollBar *bar, int position) {
    if (!m_session)
        return;
    if (bar == ui->vscrGainCoarse)
        send(m_session->moveCoarse(position));
    else if (bar == ui->vscrRi)
        send(m_session->moveRi(position));
    else if (bar == ui->vscrGainFine)
        send(m_session->moveFine(position));
    else
        send(m_session->moveNull(position));
    ShowGain();
}

void dlgCalibrate::rangeSelected(int index) {
    if (!m_session)
        return;
    send(m_session->selectGainRange(index));
    placeControls();
    if (m_session->riScrollBarShown() && !m_detailsShown) {
        m_detailsShown = true;
        ShowDetails();
    }
}

// The box keeps the focus; the other box is not checked while the focus comes back here.
void dlgCalibrate::refuse(QLineEdit *box, const QString &why) {
    m_refusing = true;
    m.prompts.message(why, PromptButtons::Ok, PromptIcon::Information);
    box->setFocus();
    box->selectAll();
    m_refusing = false;
}

void dlgCalibrate::commitFullScale() {
    if (!m_session || !m_fullScaleEdited || m_refusing)
        return;
    const CheckedNumber checked =
        checkFullScale(ui->txtFullScale->text(), regionalDecimalSeparator());
    if (!checked.value) {
        refuse(ui->txtFullScale, checked.refusal);
        return;
    }
    ui->txtFullScale->setText(boxText(*checked.value));
    send(m_session->changeFullScale(*checked.value));
    m_fullScaleEdited = false;
    m.setup.markSetupChanged();
}

void dlgCalibrate::commitOffset() {
    if (!m_session || !m_offsetEdited || m_refusing)
        return;
    const CheckedNumber checked = checkOffset(ui->txtOffset->text(), regionalDecimalSeparator());
    if (!checked.value) {
        refuse(ui->txtOffset, checked.refusal);
        return;
    }
    ui->txtOffset->setText(boxText(*checked.value));
    send(m_session->changeZeroOffset(*checked.value));
    m_offsetEdited = false;
    m.setup.markSetupChanged();
}

void dlgCalibrate::OKButton_Click() {
    if (!isReady())
        return;
    // A number typed but not yet taken goes to the unit before the store.
    if (ui->txtFullScale->hasFocus())
        commitFullScale();
    else if (ui->txtOffset->hasFocus())
        commitOffset();
    if (m_fullScaleEdited || m_offsetEdited)
        return;
    m_closeAfterStore = true;
    SaveToUnit();
}

void dlgCalibrate::SaveToUnit() {
    m_store.start();
    setBusy(true, tr("Storing the calibration in the unit..."));
    ui->prgStore->setValue(0);
    ui->prgStore->show();
    setCursor(Qt::BusyCursor);
}

void dlgCalibrate::afterStore(bool stored, const QString &message) {
    unsetCursor();
    ui->prgStore->hide();
    setBusy(false);
    if (!message.isEmpty())
        m.prompts.message(message, PromptButtons::Ok, PromptIcon::Critical);
    if (m_closeAfterStore) {
        m_closeAfterStore = false;
        accept();
    }
    Q_EMIT storeFinished(stored);
}

// A profile load or a store cannot be called back half way: Cancel waits until it has ended.
void dlgCalibrate::reject() {
    if (busyWithUnit())
        return;
    if (m_session) {
        sendAll(m_session->cancel(),
                QStringLiteral("Calibration of probe %1: restore").arg(m_probe));
        placeControls();
        setBoxes(m_session->baseline());
    }
    QDialog::reject();
}

void dlgCalibrate::hideEvent(QHideEvent *event) {
    m.CalibrationLiveProbe = 0;
    QDialog::hideEvent(event);
}

void dlgCalibrate::cmdAdvanced_Click() {
    m_detailsShown = !m_detailsShown;
    ShowDetails();
}

// Profiles live with the setups, in the operator's documents, never beside the program.
QString dlgCalibrate::profileFolder() const {
    return setupsFolder();
}

void dlgCalibrate::cmdSave_Click() {
    if (!isReady())
        return;
    QString path = m.prompts.saveFileName(QStringLiteral("Save Amplifier Profile"), profileFolder(),
                                          QString(AmpProfileFilter), {});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QString(AmpProfileSuffix);

    // Every probe is read first; the file is written only when all reads worked, so a failed
    // read leaves an existing file as it was.
    const int probes = m.unit.UnitSystem->MaxLvdt();
    auto amplifiers = std::make_shared<std::vector<AmplifierSettings>>();
    auto readings = std::make_shared<AmpReadings>();
    LinkSequence sequence(QStringLiteral("Save amplifier profile"));
    int probe = 0;
    for (const AmpExchange &exchange : profileReadRequests(probes)) {
        addExchange(sequence, m.session, exchange, readings);
        sequence.add(QStringLiteral("probe %1 read").arg(++probe), [amplifiers, readings] {
            amplifiers->push_back(readings->probe.amplifier);
            return true;
        });
    }
    sequence.finished = [self = QPointer(this), path, amplifiers, readings](bool completed) {
        dlgCalibrate *const dialog = self.data();
        if (!dialog)
            return;
        dialog->m_profileRunning = false;
        dialog->setBusy(false);
        QString problem;
        if (!completed)
            problem = profileReadFailedText(readings->lastProbe, path);
        else
            problem = saveAmpProfile(path, profileOfUnit(*amplifiers));
        if (!problem.isEmpty())
            dialog->m.prompts.message(problem, PromptButtons::Ok, PromptIcon::Critical);
    };
    m_profileRunning = true;
    setBusy(true, tr("Reading the amplifiers of all probes..."));
    m.sequences.run(std::move(sequence));
}

void dlgCalibrate::cmdLoad_Click() {
    if (!isReady())
        return;
    const QString path = m.prompts.openFileName(QStringLiteral("Load Amplifier Profile"),
                                                profileFolder(), QString(AmpProfileFilter));
    if (path.isEmpty())
        return;
    // The whole file is read and checked before anything goes to the unit.
    const AmpProfileReadResult read = loadAmpProfile(path);
    if (!read.document) {
        m.prompts.message(read.error.message(), PromptButtons::Ok, PromptIcon::Critical);
        return;
    }
    for (const AmpProfileNotice &notice : read.notices)
        m.prompts.message(notice.text);
    const int probes = m.unit.UnitSystem->MaxLvdt();
    if (const auto notice = probeCountNotice(*read.document, probes))
        m.prompts.message(*notice);

    const std::vector<AmpExchange> exchanges =
        profileLoadRequests(*read.document, probes, *m_session);
    placeControls();
    if (exchanges.empty()) {
        SaveToUnit();
        return;
    }
    // The unit stores the profile only when all of it arrived; a request that failed has been
    // reported by the link error handler and leaves the calibration unstored.
    LinkSequence sequence(QStringLiteral("Load amplifier profile"));
    auto readings = std::make_shared<AmpReadings>();
    for (const AmpExchange &exchange : exchanges)
        addExchange(sequence, m.session, exchange, readings);
    sequence.finished = [self = QPointer(this)](bool completed) {
        dlgCalibrate *const dialog = self.data();
        if (!dialog)
            return;
        dialog->m_profileRunning = false;
        if (completed)
            dialog->SaveToUnit();
        else
            dialog->setBusy(false);
    };
    m_profileRunning = true;
    setBusy(true, tr("Sending the profile to the unit..."));
    m.sequences.run(std::move(sequence));
}

void dlgCalibrate::setBusy(bool busy, const QString &status) {
    for (QWidget *control :
         {static_cast<QWidget *>(ui->frmGain), static_cast<QWidget *>(ui->frmNull),
          static_cast<QWidget *>(ui->Frame1), static_cast<QWidget *>(ui->cboGainSelect),
          static_cast<QWidget *>(ui->vscrRi), static_cast<QWidget *>(ui->OKButton),
          static_cast<QWidget *>(ui->cmdSave), static_cast<QWidget *>(ui->cmdLoad)})
        control->setEnabled(!busy);
    // Cancel stays usable while the opening reads run; during a profile save or load and a store
    // it is refused.
    ui->CancelButton->setEnabled(!busyWithUnit());
    ui->lblStatus->setText(status);
    ui->lblStatus->setVisible(!status.isEmpty());
}
