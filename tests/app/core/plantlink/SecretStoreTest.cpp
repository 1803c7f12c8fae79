#include "SecretStore.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

using namespace plantlink;

namespace {

class SecretFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(SecretStore::secretServiceRunning())
            << "these tests run without a session bus";
    }

    SecretStore::Outcome finish(auto request) {
        std::optional<SecretStore::Outcome> outcome;
        request([&](const SecretStore::Outcome &o) { outcome = o; });
        EXPECT_TRUE(waitFor([&] { return outcome.has_value(); }));
        return outcome.value_or(SecretStore::Outcome{});
    }
    SecretStore::Outcome write(const QString &key, const QString &secret) {
        return finish([&](auto done) { m_store.write(key, secret, done); });
    }
    SecretStore::Outcome read(const QString &key) {
        return finish([&](auto done) { m_store.read(key, done); });
    }

    QTemporaryDir m_folder;
    QString m_config = QDir(m_folder.path()).filePath(QStringLiteral("QorView"));
    SecretStore m_store{QStringLiteral("QorView"), m_config};
};

TEST_F(SecretFile, SecretsComeBackAsTheyWereGiven) {
    struct Case {
        const char *proves;
        QString key;
        QString secret;
    };
    const Case cases[] = {
        {"a plain password", QStringLiteral("plant-link/gauge@broker:1883"),
         QStringLiteral("s3cret")},
        {"tabs, line breaks and the file's own separators", QStringLiteral("with\ttab"),
         QStringLiteral("a\tb\nc\r\n=")},
        {"letters beyond ASCII", QStringLiteral("umlaut"), QStringLiteral("Prüfung€")},
        {"blanks at both ends", QStringLiteral("blanks"), QStringLiteral("  spaced  ")},
    };
    for (const Case &c : cases) {
        const SecretStore::Outcome written = write(c.key, c.secret);
        EXPECT_TRUE(written.ok) << c.proves << ": " << written.problem.toStdString();
        EXPECT_EQ(written.place, SecretStore::Place::File) << c.proves;
    }
    for (const Case &c : cases) {
        const SecretStore::Outcome back = read(c.key);
        EXPECT_TRUE(back.ok) << c.proves;
        EXPECT_EQ(back.secret, c.secret) << c.proves << ": and the others are still there";
    }
    EXPECT_EQ(QFile::permissions(m_store.filePath()),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser)
        << "only the user may read the file";

    EXPECT_TRUE(write(QStringLiteral("umlaut"), QString()).ok);
    EXPECT_EQ(read(QStringLiteral("umlaut")).secret, QString()) << "an empty secret forgets";
    EXPECT_EQ(read(QStringLiteral("blanks")).secret, QStringLiteral("  spaced  "));
    const SecretStore::Outcome unknown = read(QStringLiteral("never stored"));
    EXPECT_TRUE(unknown.ok);
    EXPECT_TRUE(unknown.secret.isEmpty());
}

TEST_F(SecretFile, AFileOthersCouldReadIsClosedToThem) {
    ASSERT_TRUE(write(QStringLiteral("k"), QStringLiteral("v")).ok);
    QFile::setPermissions(m_store.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
    EXPECT_EQ(read(QStringLiteral("k")).secret, QStringLiteral("v"));
    EXPECT_FALSE(QFile::permissions(m_store.filePath()) &
                 (QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(write(QStringLiteral("k"), QStringLiteral("w")).ok);
    EXPECT_FALSE(QFile::permissions(m_store.filePath()) &
                 (QFileDevice::ReadGroup | QFileDevice::ReadOther))
        << "rewriting does not take over the old permissions";
}

TEST_F(SecretFile, AnUnwritableFolderIsReportedNotIgnored) {
    QFile blocker(m_config);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    const SecretStore::Outcome outcome = write(QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.problem.contains(QLatin1String("cannot be written")))
        << outcome.problem.toStdString();
    EXPECT_FALSE(outcome.problem.contains(QLatin1String("v\""))) << "the secret is not in it";
}

} // namespace
