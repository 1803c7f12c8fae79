#include "SecretStore.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

using namespace plantlink;

namespace {

SecretStore::Outcome finish(auto request) {
    std::optional<SecretStore::Outcome> outcome;
    request([&](const SecretStore::Outcome &o) { outcome = o; });
    EXPECT_TRUE(waitFor([&] { return outcome.has_value(); }, 30000));
    return outcome.value_or(SecretStore::Outcome{});
}

// Runs on a private session bus with a secret service started for it (with-secret-service.sh).
TEST(SecretService, KeepsTheSecretAndClearsTheFileCopy) {
    ASSERT_TRUE(SecretStore::secretServiceRunning());
    QTemporaryDir folder;
    SecretStore store(QStringLiteral("QorView test"), folder.path());
    // A copy from a time without the service, in the file.
    QFile file(store.filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("plant-link\t" + QByteArray("old").toBase64() + "\n");
    file.close();

    const SecretStore::Outcome written = finish([&](auto done) {
        store.write(QStringLiteral("plant-link"), QStringLiteral("s3cret"), done);
    });
    ASSERT_TRUE(written.ok) << written.problem.toStdString();
    EXPECT_EQ(written.place, SecretStore::Place::SecretService);
    QFile after(store.filePath());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_FALSE(after.readAll().contains("plant-link")) << "no copy stays in the file";

    const SecretStore::Outcome back =
        finish([&](auto done) { store.read(QStringLiteral("plant-link"), done); });
    EXPECT_EQ(back.place, SecretStore::Place::SecretService);
    EXPECT_EQ(back.secret, QStringLiteral("s3cret"));

    EXPECT_TRUE(
        finish([&](auto done) { store.write(QStringLiteral("plant-link"), QString(), done); }).ok);
    EXPECT_EQ(finish([&](auto done) { store.read(QStringLiteral("plant-link"), done); }).secret,
              QString())
        << "forgotten in the service too";
}

} // namespace
