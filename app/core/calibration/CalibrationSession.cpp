#include "CalibrationSession.h"

#include "AmplifierGain.h"

namespace procedures {

AmpExchange CalibrationSession::openRequests(int probe) {
    return {readGain(probe), readRequest(AmpRequest::ReadLvdtFine, probe),
            readRequest(AmpRequest::ReadLvdtNull, probe),
            readRequest(AmpRequest::ReadFullScale, probe),
            readRequest(AmpRequest::ReadZeroOffset, probe)};
}

CalibrationSession::CalibrationSession(int probe, const ProbeCalibration &read)
    : m_probe(probe), m_baseline(read), m_unit(read), m_positions(shownPositions(read.amplifier)),
      m_gainRange(gainRangeForRi(read.amplifier.ri)) {}

bool CalibrationSession::riScrollBarShown() const {
    return procedures::riScrollBarShown(m_gainRange);
}

float CalibrationSession::gain() const {
    return amplifierGain(m_positions.rf, m_positions.ri, m_positions.fine);
}

AmpExchange CalibrationSession::moveCoarse(int rf) {
    const auto position = static_cast<uint8_t>(CoarseGainRange.clamp(rf));
    if (position == m_positions.rf)
        return {};
    m_positions.rf = m_unit.amplifier.rf = position;
    return {readGain(m_probe), setGain(m_probe, position, std::nullopt)};
}

AmpExchange CalibrationSession::moveRi(int ri) {
    const auto position = static_cast<uint8_t>(InputResistorRange.clamp(ri));
    if (position == m_positions.ri)
        return {};
    m_positions.ri = m_unit.amplifier.ri = position;
    return {readGain(m_probe), setGain(m_probe, std::nullopt, position)};
}

AmpExchange CalibrationSession::moveFine(int fine) {
    const auto position = static_cast<int16_t>(FineGainRange.clamp(fine));
    if (position == m_positions.fine)
        return {};
    m_positions.fine = m_unit.amplifier.fine = position;
    return {setFine(m_probe, position)};
}

AmpExchange CalibrationSession::moveNull(int null) {
    const auto position = static_cast<int16_t>(NullRange.clamp(null));
    if (position == m_positions.null)
        return {};
    m_positions.null = m_unit.amplifier.null = position;
    return {setNull(m_probe, position)};
}

AmpExchange CalibrationSession::selectGainRange(int index) {
    m_gainRange = procedures::riScrollBarShown(index) ? CustomGainRange : index;
    return moveRi(riForGainRange(m_gainRange, m_positions.ri));
}

AmpExchange CalibrationSession::changeFullScale(float value) {
    m_unit.fullScale = value;
    return {setFullScale(m_probe, value)};
}

AmpExchange CalibrationSession::changeZeroOffset(float value) {
    m_unit.zeroOffset = value;
    return {setZeroOffset(m_probe, value)};
}

std::vector<AmpExchange>
CalibrationSession::amplifierToward(const AmplifierSettings &target) const {
    const AmplifierSettings &is = m_unit.amplifier;
    std::vector<AmpExchange> exchanges;
    if (is.ri != target.ri)
        exchanges.push_back({readGain(m_probe), setGain(m_probe, std::nullopt, target.ri)});
    if (is.rf != target.rf)
        exchanges.push_back({readGain(m_probe), setGain(m_probe, target.rf, std::nullopt)});
    if (is.fine != target.fine)
        exchanges.push_back({setFine(m_probe, target.fine)});
    if (is.null != target.null)
        exchanges.push_back({setNull(m_probe, target.null)});
    return exchanges;
}

std::vector<AmpExchange> CalibrationSession::loadSettings(const AmplifierSettings &settings) {
    std::vector<AmpExchange> exchanges = amplifierToward(settings);
    m_unit.amplifier = settings;
    m_positions = {settings.rf, settings.ri,
                   static_cast<int16_t>(FineGainRange.clamp(settings.fine)),
                   static_cast<int16_t>(NullRange.clamp(settings.null))};
    m_gainRange = gainRangeForRi(settings.ri);
    return exchanges;
}

std::vector<AmpExchange> CalibrationSession::cancel() {
    std::vector<AmpExchange> exchanges = amplifierToward(m_baseline.amplifier);
    if (m_unit.fullScale != m_baseline.fullScale)
        exchanges.push_back({setFullScale(m_probe, m_baseline.fullScale)});
    if (m_unit.zeroOffset != m_baseline.zeroOffset)
        exchanges.push_back({setZeroOffset(m_probe, m_baseline.zeroOffset)});
    m_unit = m_baseline;
    m_positions = shownPositions(m_baseline.amplifier);
    m_gainRange = gainRangeForRi(m_positions.ri);
    return exchanges;
}

} // namespace procedures
