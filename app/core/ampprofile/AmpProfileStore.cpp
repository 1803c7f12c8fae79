#include "AmpProfileStore.h"

#include "AmpProfileWriter.h"
#include "TextFileStore.h"

namespace procedures {

AmpProfileReadResult loadAmpProfile(const QString &path) {
    const textfile::FileBytes file = textfile::readFileBytes(
        path, {QStringLiteral("an amplifier profile"), MaxAmpProfileFileSize, textfile::Kilobytes});
    if (!file.failure.isEmpty()) {
        AmpProfileReadResult result;
        result.error.reason = file.failure;
        return result;
    }
    return readAmpProfile(file.bytes);
}

QString saveAmpProfile(const QString &path, const AmpProfileDocument &document) {
    return textfile::saveFileBytes(path, writeAmpProfile(document));
}

} // namespace procedures
