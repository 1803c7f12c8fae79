// Feeds arbitrary bytes to the setup file reader. Whatever it accepts must survive the writer: the
// written file reads back as the same setup without notices (the digital count is always written
// as 0) and is written again byte for byte.
#include "SetupFileReader.h"
#include "SetupFileWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    using namespace setupfile;
    const SetupStationValues inForce; // the station's start-up counts
    const SetupReadResult first =
        readSetup(QByteArrayView(data, static_cast<qsizetype>(size)), inForce);
    if (!first.document) {
        if (first.error.lineNumber < 1 || first.error.reason.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray written = writeSetup(*first.document);
    const SetupReadResult second = readSetup(written, inForce);
    SetupDocument expected = *first.document;
    expected.station.digitalCount = 0;
    if (!second.document || !second.notices.empty() || !(*second.document == expected))
        std::abort();
    if (writeSetup(*second.document) != written)
        std::abort();
    return 0;
}
