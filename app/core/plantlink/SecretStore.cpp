#include "SecretStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QSaveFile>
#include <qt6keychain/keychain.h>

#include <map>

namespace plantlink {

namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OthersMayTouch =
    QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

using SecretLines = std::map<QString, QByteArray>;

// One secret a line: the key, a tab, the secret in base64 (so any character survives).
SecretLines parse(const QByteArray &bytes) {
    SecretLines lines;
    for (const QByteArray &line : bytes.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            lines[QString::fromUtf8(line.left(tab))] = QByteArray::fromBase64(line.mid(tab + 1));
    }
    return lines;
}

QByteArray serialise(const SecretLines &lines) {
    QByteArray bytes;
    for (const auto &[key, secret] : lines)
        bytes += key.toUtf8() + '\t' + secret.toBase64() + '\n';
    return bytes;
}

// Keys name a line of the file, so they hold no tab and no line break.
QString fileKey(QString key) {
    key.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    return key;
}

} // namespace

SecretStore::SecretStore(QString service, QString folder, QObject *parent)
    : QObject(parent), m_service(std::move(service)), m_folder(std::move(folder)) {}

bool SecretStore::secretServiceRunning() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    for (const char *name : {"org.freedesktop.secrets", "org.kde.kwalletd5", "org.kde.kwalletd6"}) {
        if (bus.interface()->isServiceRegistered(QLatin1String(name)))
            return true;
    }
    return false;
}

QString SecretStore::filePath() const {
    return QDir(m_folder).filePath(QStringLiteral("secrets"));
}

void SecretStore::finishLater(Done done, Outcome outcome) {
    QMetaObject::invokeMethod(
        this, [done = std::move(done), outcome = std::move(outcome)] { done(outcome); },
        Qt::QueuedConnection);
}

void SecretStore::write(const QString &key, const QString &secret, Done done) {
    if (!secretServiceRunning()) {
        finishLater(std::move(done), writeFile(key, secret, {}));
        return;
    }
    QKeychain::Job *job = nullptr;
    if (secret.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(m_service, this);
    } else {
        auto *writeJob = new QKeychain::WritePasswordJob(m_service, this);
        writeJob->setTextData(secret);
        job = writeJob;
    }
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this,
            [this, key, secret, done = std::move(done)](QKeychain::Job *finished) {
                const QKeychain::Error error = finished->error();
                if (error == QKeychain::NoError ||
                    (secret.isEmpty() && error == QKeychain::EntryNotFound)) {
                    // A copy left in the file from a time without the service would outlive
                    // this one; it goes.
                    Outcome outcome = writeFile(key, QString(), {});
                    outcome.place = Place::SecretService;
                    done(outcome);
                    return;
                }
                done(writeFile(key, secret,
                               QStringLiteral("The secret service did not take it (%1).")
                                   .arg(finished->errorString())));
            });
    job->start();
}

void SecretStore::read(const QString &key, Done done) {
    if (!secretServiceRunning()) {
        finishLater(std::move(done), readFile(key, {}));
        return;
    }
    auto *job = new QKeychain::ReadPasswordJob(m_service, this);
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this,
            [this, key, done = std::move(done)](QKeychain::Job *finished) {
                if (finished->error() == QKeychain::NoError) {
                    done({true,
                          static_cast<QKeychain::ReadPasswordJob *>(finished)->textData(),
                          Place::SecretService,
                          {}});
                    return;
                }
                const QString why = finished->error() == QKeychain::EntryNotFound
                                        ? QString()
                                        : QStringLiteral("The secret service did not answer (%1).")
                                              .arg(finished->errorString());
                done(readFile(key, why));
            });
    job->start();
}

SecretStore::Outcome SecretStore::readFile(const QString &key, const QString &why) {
    QFile file(filePath());
    if (!file.exists())
        return {true, {}, Place::File, why};
    // A file others may read is closed to them before anything else.
    if ((file.permissions() & OthersMayTouch) != 0)
        file.setPermissions(OwnerOnly);
    if (!file.open(QIODevice::ReadOnly))
        return {false,
                {},
                Place::File,
                QStringLiteral("%1 cannot be read: %2").arg(file.fileName(), file.errorString())};
    const SecretLines lines = parse(file.readAll());
    const auto found = lines.find(fileKey(key));
    return {true, found == lines.end() ? QString() : QString::fromUtf8(found->second), Place::File,
            why};
}

SecretStore::Outcome SecretStore::writeFile(const QString &key, const QString &secret,
                                            const QString &why) {
    SecretLines lines;
    QFile existing(filePath());
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return {false,
                    {},
                    Place::File,
                    QStringLiteral("%1 cannot be read: %2")
                        .arg(existing.fileName(), existing.errorString())};
        lines = parse(existing.readAll());
        existing.close();
    }
    const QString line = fileKey(key);
    const bool had = lines.erase(line) > 0;
    if (secret.isEmpty() && !had)
        return {true, {}, Place::File, why};
    if (!secret.isEmpty())
        lines[line] = secret.toUtf8();

    QDir().mkpath(m_folder);
    QSaveFile file(filePath());
    // Owner-only before the first byte is written, not after.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(OwnerOnly) ||
        file.write(serialise(lines)) < 0 || !file.commit())
        return {
            false,
            {},
            Place::File,
            QStringLiteral("%1 cannot be written: %2").arg(file.fileName(), file.errorString())};
    return {true, {}, Place::File, why};
}

} // namespace plantlink
