#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace plantlink {

// Keeps secrets such as the broker password out of the settings file: in the desktop's secret
// service when one runs on the session bus, else in one file in the configuration folder that
// only the user may read (0600). Requests finish later, on this object's thread (the secret
// service answers over D-Bus), so an event loop must run.
class SecretStore : public QObject {
    Q_OBJECT
public:
    enum class Place { SecretService, File };
    struct Outcome {
        bool ok = false;
        QString secret; // read only; empty when none is stored
        Place place = Place::File;
        QString problem; // what went wrong, or why the file was used; never the secret
    };
    using Done = std::function<void(const Outcome &)>;

    // service: the name the secrets are filed under in the secret service; folder: where the
    // file is kept when there is none.
    SecretStore(QString service, QString folder, QObject *parent = nullptr);

    // Whether a secret service is running on the session bus now. One that the bus could start
    // on demand does not count: started without a desktop it may wait for an unlock prompt
    // nobody sees.
    static bool secretServiceRunning();
    QString filePath() const;

    // Stores secret under key; an empty secret forgets the key.
    void write(const QString &key, const QString &secret, Done done);
    // Reads the secret for key: ok with an empty secret when none is stored.
    void read(const QString &key, Done done);

private:
    void finishLater(Done done, Outcome outcome);
    Outcome writeFile(const QString &key, const QString &secret, const QString &why);
    Outcome readFile(const QString &key, const QString &why);

    QString m_service;
    QString m_folder;
};

} // namespace plantlink
