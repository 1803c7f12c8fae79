#include "AmpExchangeSteps.h"

#include "LinkSession.h"

namespace procedures {

namespace {

bool runRequest(LinkSession &session, const AmpOperation &op, AmpReadings &read) {
    LinkLibrary &link = session.link;
    QorHandle handle = session.LinkHandle;
    read.lastProbe = op.probe;
    AmplifierSettings &amp = read.probe.amplifier;
    switch (op.request) {
    case AmpRequest::ReadLvdtGain:
        return link.QorReadLvdtGain(handle, op.probe, &amp.rf, &amp.ri) == 0;
    case AmpRequest::ReadLvdtFine:
        return link.QorReadLvdtFine(handle, op.probe, &amp.fine) == 0;
    case AmpRequest::ReadLvdtNull:
        return link.QorReadLvdtNull(handle, op.probe, &amp.null) == 0;
    case AmpRequest::ReadFullScale:
        return link.QorReadTfsv(handle, op.probe, &read.probe.fullScale) == 0;
    case AmpRequest::ReadZeroOffset:
        return link.QorReadTzero(handle, op.probe, &read.probe.zeroOffset) == 0;
    case AmpRequest::SetLvdtGain:
        // An empty setting goes back as the read just before returned it.
        return link.QorSetLvdtGain(handle, op.probe, op.first.value_or(amp.rf),
                                   op.second.value_or(amp.ri)) == 0;
    case AmpRequest::SetLvdtFine:
        return link.QorSetLvdtFine(handle, op.probe, op.first.value_or(0)) == 0;
    case AmpRequest::SetLvdtNull:
        return link.QorSetLvdtNull(handle, op.probe, op.first.value_or(0)) == 0;
    case AmpRequest::SetFullScale: {
        float value = op.real;
        return link.QorSetTfsv(handle, op.probe, &value) == 0;
    }
    case AmpRequest::SetZeroOffset: {
        float value = op.real;
        return link.QorSetTzero(handle, op.probe, &value) == 0;
    }
    case AmpRequest::SaveCalibration:
        read.saveStatus = -1;
        read.saveResult = link.QorSaveCalibration(handle, &read.saveStatus);
        return true;
    case AmpRequest::GetSaveStatus:
        read.firstSaveStatus = read.secondSaveStatus = 0;
        read.saveResult =
            link.QorGetSaveStatus(handle, &read.firstSaveStatus, &read.secondSaveStatus);
        return true;
    }
    return false;
}

} // namespace

void addExchange(LinkSequence &sequence, LinkSession &session, const AmpExchange &exchange,
                 std::shared_ptr<AmpReadings> readings) {
    for (const AmpOperation &op : exchange) {
        sequence.add(describe(op),
                     [&session, op, readings] { return runRequest(session, op, *readings); });
    }
}

} // namespace procedures
