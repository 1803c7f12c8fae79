// Feeds arbitrary bytes to the amplifier profile reader. It must give a document or an error with
// a line and a reason; a document must survive the writer: the written file reads back as the
// same profile without notices and is written again byte for byte.
#include "AmpProfileReader.h"
#include "AmpProfileWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    using namespace procedures;
    const AmpProfileReadResult first =
        readAmpProfile(QByteArrayView(data, static_cast<qsizetype>(size)));
    if (!first.document) {
        if (first.error.lineNumber < 1 || first.error.reason.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray written = writeAmpProfile(*first.document);
    const AmpProfileReadResult second = readAmpProfile(written);
    if (!second.document || !second.notices.empty() || !(*second.document == *first.document))
        std::abort();
    if (writeAmpProfile(*second.document) != written)
        std::abort();
    return 0;
}
