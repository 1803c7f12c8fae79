#pragma once

#include "LinkState.h"
#include "LinkTest.h"
#include "PlantLinkSettings.h"

#include <QDialog>

class Prompts;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Measure > Plant Link...: where the station publishes (the broker, TLS, credentials, the
// station's name) and what (part records, live values). It shows and collects settings;
// PlantLinkCommands stores them and runs the link. Test makes one attempt with the settings as
// entered, off the window's thread, and says what happened.
class PlantLinkDialog : public QDialog {
    Q_OBJECT
public:
    explicit PlantLinkDialog(Prompts &prompts, QWidget *parent = nullptr);

    // The settings to show, the password (config.password) among them.
    void setSettings(const plantlink::PlantLinkSettings &settings);
    // The stored password, come after the dialog was filled; the field takes it unless the
    // operator typed in it.
    void offerPassword(const QString &password);
    // The settings as entered, with the password typed.
    plantlink::PlantLinkSettings settings() const;

    // The Test button.
    void test();
    bool isTesting() const { return m_test.isRunning(); }
    // What the last test said, as shown.
    QString testOutcome() const;

    // Keeps the dialog open, saying why, while the settings cannot be used.
    void accept() override;

private:
    void build();
    QWidget *fileRow(QLineEdit *&field, QPushButton *&browse, const QString &title,
                     const QString &filter);
    void updateEnabled();
    void showOutcome(const plantlink::LinkState &outcome);
    void showOutcomeText(const QString &text, const QString &colour);

    Prompts &m_prompts;
    plantlink::LinkTest m_test;
    QCheckBox *m_enabled = nullptr;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QCheckBox *m_tls = nullptr;
    QLineEdit *m_caFile = nullptr;
    QLineEdit *m_certFile = nullptr;
    QLineEdit *m_keyFile = nullptr;
    QPushButton *m_caBrowse = nullptr;
    QPushButton *m_certBrowse = nullptr;
    QPushButton *m_keyBrowse = nullptr;
    QLineEdit *m_userName = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_station = nullptr;
    QCheckBox *m_parts = nullptr;
    QCheckBox *m_live = nullptr;
    QSpinBox *m_liveInterval = nullptr;
    QPushButton *m_testButton = nullptr;
    QLabel *m_outcome = nullptr;
    // What the dialog does not show, kept as it came.
    plantlink::PlantLinkConfig m_hidden;
};
