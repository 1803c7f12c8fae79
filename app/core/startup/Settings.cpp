#include "Settings.h"

#include <QSettings>
#include <QStringList>

#include <utility>

namespace {

// A fresh QSettings per access: every part of the station (and the wizard) then sees each
// other's writes, and the object is cheap next to the operator's pace.
QSettings openStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                     QStringLiteral("QorView"));
}

QString pathOf(SettingKey key) {
    return QLatin1String(key.section) + QLatin1Char('/') + QLatin1String(key.key);
}

} // namespace

SettingsStore::SettingsStore() = default;

std::optional<QString> SettingsStore::find(SettingKey key) const {
    const QVariant value = openStore().value(pathOf(key));
    if (!value.isValid())
        return std::nullopt;
    // INI values holding a comma come back as lists; the station keeps plain text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QString SettingsStore::text(SettingKey key, const QString &fallback) const {
    return find(key).value_or(fallback);
}

double SettingsStore::number(SettingKey key, double fallback) const {
    const std::optional<QString> stored = find(key);
    if (!stored)
        return fallback;
    bool ok = false;
    const double value = stored->trimmed().toDouble(&ok);
    return ok ? value : fallback;
}

bool SettingsStore::setText(SettingKey key, const QString &value) {
    return write({{key, value}});
}

bool SettingsStore::setNumber(SettingKey key, long long value) {
    return setText(key, QString::number(value));
}

bool SettingsStore::setNumbers(const std::vector<std::pair<SettingKey, long long>> &values) {
    std::vector<std::pair<SettingKey, QString>> texts;
    texts.reserve(values.size());
    for (const auto &[key, value] : values)
        texts.emplace_back(key, QString::number(value));
    return write(texts);
}

bool SettingsStore::write(const std::vector<std::pair<SettingKey, QString>> &values) {
    QSettings store = openStore();
    for (const auto &[key, value] : values)
        store.setValue(pathOf(key), value);
    store.sync();
    // A file that could not be parsed when read (FormatError) is still written.
    if (store.status() != QSettings::AccessError)
        return true;
    ++m_failedWrites;
    if (!m_failure) {
        const QString file = store.fileName();
        m_failure = SettingsWriteFailure{file, settingsWriteReason(file), {}};
    }
    for (const auto &[key, value] : values)
        m_failure->keys << pathOf(key);
    return false;
}

std::optional<SettingsWriteFailure> SettingsStore::takeWriteFailure() {
    return std::exchange(m_failure, std::nullopt);
}

void SettingsStore::sync() {
    openStore().sync();
}

QString SettingsStore::fileName() const {
    return openStore().fileName();
}
