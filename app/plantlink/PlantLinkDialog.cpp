#include "PlantLinkDialog.h"

#include "Prompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using plantlink::LinkState;
using plantlink::PlantLinkSettings;

namespace {

const QString Title = QStringLiteral("Plant Link");
const QString Certificates = QStringLiteral("Certificates (*.crt *.pem *.cer);;All files (*)");
const QString Keys = QStringLiteral("Keys (*.key *.pem);;All files (*)");

const QString GoodColour = QStringLiteral("#2e7d32");
const QString TroubleColour = QStringLiteral("#b3261e");
const QString BusyColour = QStringLiteral("#5f6368");

QLineEdit *lineEdit(const char *name, QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

PlantLinkDialog::PlantLinkDialog(Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts) {
    setWindowTitle(Title);
    build();
    connect(&m_test, &plantlink::LinkTest::finished, this, &PlantLinkDialog::showOutcome);
    setSettings({});
}

void PlantLinkDialog::build() {
    auto *layout = new QVBoxLayout(this);
    m_enabled = new QCheckBox(QStringLiteral("&Publish to the plant's MQTT broker"), this);
    m_enabled->setObjectName(QStringLiteral("enabled"));
    layout->addWidget(m_enabled);

    auto *broker = new QGroupBox(QStringLiteral("Broker"), this);
    auto *brokerForm = new QFormLayout(broker);
    m_host = lineEdit("host", broker);
    m_host->setPlaceholderText(QStringLiteral("broker.plant or 10.0.0.5"));
    m_port = new QSpinBox(broker);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setRange(1, 65535);
    auto *portLabel = new QLabel(QStringLiteral("P&ort:"), broker);
    portLabel->setBuddy(m_port);
    auto *address = new QHBoxLayout;
    address->addWidget(m_host, 1);
    address->addWidget(portLabel);
    address->addWidget(m_port);
    // A row of a layout gets no buddy from the form, so its label is made here.
    auto *hostLabel = new QLabel(QStringLiteral("&Host:"), broker);
    hostLabel->setBuddy(m_host);
    brokerForm->addRow(hostLabel, address);
    m_tls = new QCheckBox(QStringLiteral("Use &TLS"), broker);
    m_tls->setObjectName(QStringLiteral("tls"));
    brokerForm->addRow(QString(), m_tls);
    m_caFile = lineEdit("caFile", broker);
    m_caFile->setPlaceholderText(QStringLiteral("the system's authorities"));
    brokerForm->addRow(QStringLiteral("&CA file:"),
                       fileRow(m_caFile, m_caBrowse, QStringLiteral("CA file"), Certificates));
    m_certFile = lineEdit("certFile", broker);
    m_certFile->setPlaceholderText(QStringLiteral("none"));
    brokerForm->addRow(
        QStringLiteral("Client c&ertificate:"),
        fileRow(m_certFile, m_certBrowse, QStringLiteral("Client certificate"), Certificates));
    m_keyFile = lineEdit("keyFile", broker);
    m_keyFile->setPlaceholderText(QStringLiteral("none"));
    brokerForm->addRow(QStringLiteral("Client &key:"),
                       fileRow(m_keyFile, m_keyBrowse, QStringLiteral("Client key"), Keys));
    m_userName = lineEdit("userName", broker);
    m_userName->setPlaceholderText(QStringLiteral("none"));
    brokerForm->addRow(QStringLiteral("&User name:"), m_userName);
    m_password = lineEdit("password", broker);
    m_password->setEchoMode(QLineEdit::Password);
    brokerForm->addRow(QStringLiteral("Pass&word:"), m_password);
    layout->addWidget(broker);

    auto *station = new QGroupBox(QStringLiteral("Station"), this);
    auto *stationForm = new QFormLayout(station);
    m_station = lineEdit("station", station);
    m_station->setPlaceholderText(plantlink::stationName({}));
    stationForm->addRow(QStringLiteral("&Station name:"), m_station);
    layout->addWidget(station);

    auto *publish = new QGroupBox(QStringLiteral("Publish"), this);
    auto *publishLayout = new QVBoxLayout(publish);
    m_parts = new QCheckBox(QStringLiteral("P&art records"), publish);
    m_parts->setObjectName(QStringLiteral("parts"));
    publishLayout->addWidget(m_parts);
    auto *live = new QHBoxLayout;
    m_live = new QCheckBox(QStringLiteral("&Live values, at most one per channel every"), publish);
    m_live->setObjectName(QStringLiteral("liveValues"));
    m_liveInterval = new QSpinBox(publish);
    m_liveInterval->setObjectName(QStringLiteral("liveInterval"));
    m_liveInterval->setRange(0, plantlink::LongestLiveIntervalMs);
    m_liveInterval->setSingleStep(100);
    m_liveInterval->setSuffix(QStringLiteral(" ms"));
    live->addWidget(m_live);
    live->addWidget(m_liveInterval);
    live->addStretch(1);
    publishLayout->addLayout(live);
    layout->addWidget(publish);

    auto *testRow = new QHBoxLayout;
    m_testButton = new QPushButton(QStringLiteral("T&est"), this);
    m_testButton->setObjectName(QStringLiteral("test"));
    m_testButton->setAutoDefault(false);
    m_outcome = new QLabel(this);
    m_outcome->setObjectName(QStringLiteral("testOutcome"));
    m_outcome->setWordWrap(true);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testRow->addWidget(m_testButton, 0, Qt::AlignTop);
    testRow->addWidget(m_outcome, 1);
    layout->addLayout(testRow);
    layout->addStretch(1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PlantLinkDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PlantLinkDialog::reject);
    connect(m_testButton, &QPushButton::clicked, this, &PlantLinkDialog::test);
    connect(m_tls, &QCheckBox::toggled, this, &PlantLinkDialog::updateEnabled);
    connect(m_live, &QCheckBox::toggled, this, &PlantLinkDialog::updateEnabled);
    // The outcome shown belongs to the settings it was tested with.
    for (QLineEdit *field :
         {m_host, m_caFile, m_certFile, m_keyFile, m_userName, m_password, m_station})
        connect(field, &QLineEdit::textEdited, m_outcome, &QLabel::clear);
    setMinimumWidth(520);
}

QWidget *PlantLinkDialog::fileRow(QLineEdit *&field, QPushButton *&browse, const QString &title,
                                  const QString &filter) {
    auto *row = new QWidget(field->parentWidget());
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    browse = new QPushButton(QStringLiteral("Browse…"), row);
    browse->setObjectName(field->objectName() + QStringLiteral("Browse"));
    browse->setAutoDefault(false);
    rowLayout->addWidget(field, 1);
    rowLayout->addWidget(browse);
    QLineEdit *target = field;
    connect(browse, &QPushButton::clicked, this, [this, target, title, filter] {
        const QString current = target->text().trimmed();
        const QString folder =
            current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
        const QString chosen = m_prompts.openFileName(title, folder, filter);
        if (!chosen.isEmpty()) {
            target->setText(QDir::toNativeSeparators(chosen));
            m_outcome->clear();
        }
    });
    return row;
}

void PlantLinkDialog::updateEnabled() {
    const bool tls = m_tls->isChecked();
    for (QWidget *widget : std::initializer_list<QWidget *>{m_caFile, m_certFile, m_keyFile,
                                                            m_caBrowse, m_certBrowse, m_keyBrowse})
        widget->setEnabled(tls);
    m_liveInterval->setEnabled(m_live->isChecked());
}

void PlantLinkDialog::setSettings(const PlantLinkSettings &settings) {
    const plantlink::PlantLinkConfig &config = settings.config;
    m_hidden = config;
    m_enabled->setChecked(settings.enabled);
    m_host->setText(config.host);
    m_port->setValue(config.port);
    m_tls->setChecked(config.tls);
    m_caFile->setText(config.caFile);
    m_certFile->setText(config.certFile);
    m_keyFile->setText(config.keyFile);
    m_userName->setText(config.userName);
    m_password->setText(config.password);
    m_station->setText(config.station);
    m_parts->setChecked(config.publishParts);
    m_live->setChecked(config.liveValues);
    m_liveInterval->setValue(config.liveMinIntervalMs);
    m_test.cancel();
    m_testButton->setEnabled(true);
    m_outcome->clear();
    updateEnabled();
}

void PlantLinkDialog::offerPassword(const QString &password) {
    if (!m_password->isModified())
        m_password->setText(password);
}

PlantLinkSettings PlantLinkDialog::settings() const {
    PlantLinkSettings settings;
    settings.enabled = m_enabled->isChecked();
    plantlink::PlantLinkConfig &config = settings.config;
    config = m_hidden;
    config.host = m_host->text().trimmed();
    config.port = m_port->value();
    config.tls = m_tls->isChecked();
    config.caFile = m_caFile->text().trimmed();
    config.certFile = m_certFile->text().trimmed();
    config.keyFile = m_keyFile->text().trimmed();
    config.userName = m_userName->text().trimmed();
    config.password = m_password->text();
    config.station = m_station->text().trimmed();
    config.publishParts = m_parts->isChecked();
    config.liveValues = m_live->isChecked();
    config.liveMinIntervalMs = m_liveInterval->value();
    return settings;
}

void PlantLinkDialog::test() {
    PlantLinkSettings entered = settings();
    // Tested as it would run, whether or not it is switched on yet.
    entered.enabled = true;
    if (const QString problem = plantlink::settingsProblem(entered); !problem.isEmpty()) {
        showOutcomeText(problem, TroubleColour);
        return;
    }
    showOutcomeText(
        QStringLiteral("Testing %1:%2…").arg(entered.config.host).arg(entered.config.port),
        BusyColour);
    m_testButton->setEnabled(false);
    m_test.start(entered.config);
}

void PlantLinkDialog::showOutcome(const LinkState &outcome) {
    m_testButton->setEnabled(true);
    showOutcomeText(outcome.text,
                    outcome.kind == LinkState::Connected ? GoodColour : TroubleColour);
}

void PlantLinkDialog::showOutcomeText(const QString &text, const QString &colour) {
    m_outcome->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    m_outcome->setText(text);
}

QString PlantLinkDialog::testOutcome() const {
    return m_outcome->text();
}

void PlantLinkDialog::accept() {
    if (const QString problem = plantlink::settingsProblem(settings()); !problem.isEmpty()) {
        m_prompts.message(problem, PromptButtons::Ok, PromptIcon::Information, Title);
        return;
    }
    QDialog::accept();
}
