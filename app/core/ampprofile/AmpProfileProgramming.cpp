#include "AmpProfileProgramming.h"

namespace procedures {

std::vector<AmpExchange> profileReadRequests(int probeCount) {
    std::vector<AmpExchange> exchanges;
    for (int probe = 1; probe <= probeCount; ++probe)
        exchanges.push_back({readGain(probe), readRequest(AmpRequest::ReadLvdtFine, probe),
                             readRequest(AmpRequest::ReadLvdtNull, probe)});
    return exchanges;
}

AmpProfileDocument profileOfUnit(const std::vector<AmplifierSettings> &amplifiers) {
    AmpProfileDocument document;
    document.probeCount = static_cast<int16_t>(amplifiers.size());
    int16_t probe = 0;
    for (const AmplifierSettings &amplifier : amplifiers)
        document.blocks.push_back({++probe, amplifier});
    return document;
}

std::optional<QString> probeCountNotice(const AmpProfileDocument &document, int unitProbeCount) {
    if (!document.probeCount || *document.probeCount == unitProbeCount)
        return std::nullopt;
    return QStringLiteral("Number of LVDTs stored in this file,\rdiffers from current setting");
}

std::vector<AmpExchange> profileLoadRequests(const AmpProfileDocument &document, int unitProbeCount,
                                             CalibrationSession &shown) {
    std::vector<AmpExchange> exchanges;
    for (const AmpProfileBlock &block : document.blocks) {
        if (block.probe < 1 || block.probe > unitProbeCount)
            continue;
        const AmplifierSettings &a = block.amplifier;
        if (block.probe == shown.probe()) {
            for (AmpExchange &exchange : shown.loadSettings(a))
                exchanges.push_back(std::move(exchange));
            continue;
        }
        exchanges.push_back({setGain(block.probe, a.rf, a.ri), setFine(block.probe, a.fine),
                             setNull(block.probe, a.null)});
    }
    shown.adoptUnitAsBaseline();
    return exchanges;
}

QString profileReadFailedText(int probe, const QString &path) {
    return QStringLiteral("The amplifier settings of probe %1 could not be read from the unit; "
                          "%2 was not changed.")
        .arg(probe)
        .arg(path);
}

} // namespace procedures
