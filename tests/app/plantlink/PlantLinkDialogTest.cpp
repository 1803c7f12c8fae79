#include "PlantLinkDialog.h"
#include "BrokerProcess.h"
#include "ScriptedPrompts.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <functional>

using namespace plantlink;

namespace {

const QString Station = QStringLiteral("line-7");

class PlantLinkDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BrokerProcess::available()) << "the mosquitto broker is not installed";
    }

    template <typename T> T *child(const char *name) {
        T *found = m_dialog.findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Presses Test with these settings and waits for what it says.
    QString testWith(const PlantLinkConfig &config) {
        PlantLinkSettings settings;
        settings.config = config;
        m_dialog.setSettings(settings);
        child<QPushButton>("test")->click();
        waitFor([&] { return !m_dialog.isTesting(); }, 30000);
        return m_dialog.testOutcome();
    }

    QTemporaryDir m_folder;
    ScriptedPrompts m_prompts;
    PlantLinkDialog m_dialog{m_prompts};
};

TEST_F(PlantLinkDialogTest, TestSaysInPlainWordsWhatHappened) {
    TestCertificates certificates;
    ASSERT_TRUE(makeCertificates(m_folder.path(), certificates));
    BrokerProcess plain;
    ASSERT_TRUE(plain.start());
    BrokerProcess guarded;
    ASSERT_TRUE(guarded.requirePassword(QStringLiteral("gauge"), QStringLiteral("s3cret")));
    ASSERT_TRUE(guarded.start());
    BrokerProcess tls;
    tls.useTls(certificates.caFile, certificates.serverCert, certificates.serverKey);
    ASSERT_TRUE(tls.start()) << tls.log().toStdString();

    using Change = std::function<void(PlantLinkConfig &)>;
    auto credentials = [](const char *password) -> Change {
        return [password](PlantLinkConfig &c) {
            c.userName = QStringLiteral("gauge");
            c.password = QString::fromLatin1(password);
        };
    };
    auto withCa = [](const QString &ca) -> Change {
        return [ca](PlantLinkConfig &c) {
            c.tls = true;
            c.caFile = ca;
        };
    };
    struct Case {
        const char *proves;
        int port;
        Change change;
        const char *words;
    };
    const Case cases[] = {
        {"a broker that accepts", plain.port(), {}, "Connected to"},
        {"no host is asked for before anything is tried", plain.port(),
         [](PlantLinkConfig &c) { c.host.clear(); }, "Enter the broker's host name or address."},
        {"a port nothing listens on", freeLoopbackPort(), {}, "no broker listens there"},
        {"the right password", guarded.port(), credentials("s3cret"), "Connected to"},
        {"a wrong password", guarded.port(), credentials("wrong"),
         "did not accept the user name and password"},
        {"the authority that signed the broker", tls.port(), withCa(certificates.caFile),
         "Connected to"},
        {"another authority", tls.port(), withCa(certificates.otherCaFile),
         "certificate verify failed"},
        {"a certificate without its key", tls.port(),
         [&](PlantLinkConfig &c) {
             withCa(certificates.caFile)(c);
             c.certFile = certificates.serverCert;
         },
         "needs its key"},
    };
    for (const Case &c : cases) {
        PlantLinkConfig config = loopbackConfig(c.port, Station);
        if (c.change)
            c.change(config);
        const QString said = testWith(config);
        EXPECT_TRUE(said.contains(QLatin1String(c.words)))
            << c.proves << ": " << said.toStdString();
        EXPECT_FALSE(said.contains(QLatin1String("s3cret"))) << c.proves;
        EXPECT_TRUE(child<QPushButton>("test")->isEnabled()) << c.proves;
    }
    EXPECT_TRUE(m_prompts.shown.empty()) << "Test answers in the dialog, not in boxes";
}

TEST_F(PlantLinkDialogTest, ShowsAndCollectsEverySettingAndRefusesUnusableOnes) {
    PlantLinkSettings settings;
    settings.enabled = true;
    PlantLinkConfig &config = settings.config;
    config = loopbackConfig(8883, Station);
    config.tls = true;
    config.caFile = QStringLiteral("/etc/plant/ca.crt");
    config.userName = QStringLiteral("gauge");
    config.password = QStringLiteral("s3cret");
    config.liveValues = true;
    config.liveMinIntervalMs = 2500;
    config.window = 7; // not shown, kept
    m_dialog.setSettings(settings);
    EXPECT_EQ(m_dialog.settings(), settings) << "what is shown is what comes back";
    EXPECT_TRUE(child<QLineEdit>("certFile")->isEnabled());

    m_prompts.fileNames = {QStringLiteral("/etc/plant/station.crt")};
    child<QPushButton>("certFileBrowse")->click();
    ASSERT_EQ(m_prompts.fileDialogs.size(), 1u);
    EXPECT_TRUE(m_prompts.fileDialogs[0].filter.contains(QLatin1String("*.crt")));
    EXPECT_EQ(m_dialog.settings().config.certFile, QStringLiteral("/etc/plant/station.crt"));

    m_dialog.open();
    m_dialog.accept();
    EXPECT_TRUE(m_dialog.isVisible()) << "a certificate without its key is not taken";
    ASSERT_EQ(m_prompts.shown.size(), 1u);
    EXPECT_TRUE(m_prompts.shown[0].text.contains(QLatin1String("needs its key")));

    child<QCheckBox>("tls")->setChecked(false);
    EXPECT_FALSE(child<QLineEdit>("certFile")->isEnabled());
    m_dialog.accept();
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted) << "without TLS the files do not matter";
}

} // namespace
