#include "AmplifierRequests.h"

#include "DecimalText.h"

#include <QStringList>

namespace procedures {

namespace {

QString exportName(AmpRequest request) {
    switch (request) {
    case AmpRequest::ReadLvdtGain:
        return QStringLiteral("QorReadLvdtGain");
    case AmpRequest::ReadLvdtFine:
        return QStringLiteral("QorReadLvdtFine");
    case AmpRequest::ReadLvdtNull:
        return QStringLiteral("QorReadLvdtNull");
    case AmpRequest::ReadFullScale:
        return QStringLiteral("QorReadTfsv");
    case AmpRequest::ReadZeroOffset:
        return QStringLiteral("QorReadTzero");
    case AmpRequest::SetLvdtGain:
        return QStringLiteral("QorSetLvdtGain");
    case AmpRequest::SetLvdtFine:
        return QStringLiteral("QorSetLvdtFine");
    case AmpRequest::SetLvdtNull:
        return QStringLiteral("QorSetLvdtNull");
    case AmpRequest::SetFullScale:
        return QStringLiteral("QorSetTfsv");
    case AmpRequest::SetZeroOffset:
        return QStringLiteral("QorSetTzero");
    case AmpRequest::SaveCalibration:
        return QStringLiteral("QorSaveCalibration");
    case AmpRequest::GetSaveStatus:
        return QStringLiteral("QorGetSaveStatus");
    }
    return {};
}

QString setting(const std::optional<int> &value) {
    return value ? QString::number(*value) : QStringLiteral("as read");
}

} // namespace

AmpOperation readRequest(AmpRequest request, int probe) {
    return {request, probe, {}, {}, 0.0f};
}

AmpOperation readGain(int probe) {
    return readRequest(AmpRequest::ReadLvdtGain, probe);
}

AmpOperation setGain(int probe, std::optional<int> rf, std::optional<int> ri) {
    return {AmpRequest::SetLvdtGain, probe, rf, ri, 0.0f};
}

AmpOperation setFine(int probe, int fine) {
    return {AmpRequest::SetLvdtFine, probe, fine, {}, 0.0f};
}

AmpOperation setNull(int probe, int null) {
    return {AmpRequest::SetLvdtNull, probe, null, {}, 0.0f};
}

AmpOperation setFullScale(int probe, float value) {
    return {AmpRequest::SetFullScale, probe, {}, {}, value};
}

AmpOperation setZeroOffset(int probe, float value) {
    return {AmpRequest::SetZeroOffset, probe, {}, {}, value};
}

AmpOperation saveCalibration() {
    return readRequest(AmpRequest::SaveCalibration, 0);
}

AmpOperation getSaveStatus() {
    return readRequest(AmpRequest::GetSaveStatus, 0);
}

QString describe(const AmpOperation &operation) {
    QStringList arguments;
    switch (operation.request) {
    case AmpRequest::SaveCalibration:
    case AmpRequest::GetSaveStatus:
        break;
    case AmpRequest::SetLvdtGain:
        arguments << QString::number(operation.probe) << setting(operation.first)
                  << setting(operation.second);
        break;
    case AmpRequest::SetLvdtFine:
    case AmpRequest::SetLvdtNull:
        arguments << QString::number(operation.probe) << setting(operation.first);
        break;
    case AmpRequest::SetFullScale:
    case AmpRequest::SetZeroOffset:
        arguments << QString::number(operation.probe)
                  << QString::fromStdString(significantText(operation.real, 9));
        break;
    case AmpRequest::ReadLvdtGain:
    case AmpRequest::ReadLvdtFine:
    case AmpRequest::ReadLvdtNull:
    case AmpRequest::ReadFullScale:
    case AmpRequest::ReadZeroOffset:
        arguments << QString::number(operation.probe);
        break;
    }
    return exportName(operation.request) + QLatin1Char('(') + arguments.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

QString describe(const AmpExchange &exchange) {
    QStringList calls;
    for (const AmpOperation &operation : exchange)
        calls << describe(operation);
    return calls.join(QStringLiteral("; "));
}

} // namespace procedures
