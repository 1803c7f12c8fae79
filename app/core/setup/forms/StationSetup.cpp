#include "StationSetup.h"

#include "MeasurementObjects.h"
#include "SetupLoad.h"
#include "SetupSession.h"
#include "UnitObjects.h"

#include <utility>

namespace {

// The name the unit keeps its stored settings under.
const QString UnitSetupName = QStringLiteral("default");

} // namespace

bool StationSetup::unitPresent() const {
    return m_parts.unit.UnitSystem != nullptr;
}

const QString &StationSetup::fileName() const {
    return m_parts.setup.SetupFileName;
}

void StationSetup::setFileName(const QString &fileName) {
    m_parts.setup.SetupFileName = fileName;
}

bool StationSetup::changed() const {
    return m_parts.setup.SetupChanged;
}

QString StationSetup::caption(const QString &fileName) const {
    return setupCaption(m_parts.config, fileName);
}

setupfile::SetupStationValues StationSetup::valuesInForce() const {
    return ::valuesInForce(m_parts.unit, m_parts.view);
}

LinkSequence StationSetup::newSetup(const QString &folder) const {
    return NewSetup(m_parts, folder);
}

LinkSequence StationSetup::load(const setupfile::SetupEntries &entries,
                                const QString &fileName) const {
    return loadSetupSequence(m_parts, entries, fileName, {});
}

LinkSequence StationSetup::save(const QString &fileName, std::shared_ptr<const bool> cancelled,
                                std::function<void(const SetupSaveResult &)> done) const {
    return saveSetupSequence(m_parts, fileName, std::move(cancelled), std::move(done));
}

LinkSequence StationSetup::storeInUnit() const {
    LinkSequence sequence(QStringLiteral("Store"));
    sequence.add(QStringLiteral("Storing the setup in the unit"), [unit = &m_parts.unit] {
        if (unit->UnitSystem)
            unit->UnitSystem->SaveSettings(UnitSetupName);
        return true;
    });
    return sequence;
}

bool StationSetup::groupsFitChannelCount(int channels) const {
    return setupforms::groupsFitChannelCount(m_parts.unit, channels);
}

void StationSetup::applySystemSettings(
    const setupforms::SystemSetupValues &values, bool repairGroups,
    const std::function<void(LinkSequence)> &run,
    std::function<void(setupforms::SystemApplyResult)> done) const {
    setupforms::applySystemSettings(m_parts, values, repairGroups, run, std::move(done));
}
