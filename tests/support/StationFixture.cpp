#include "StationFixture.h"

#include "CommandLine.h"
#include "LinkErrorHandler.h"
#include "Startup.h"

#include <QFile>
#include <QSettings>

#include <memory>

StationFixture::StationFixture() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_config.filePath(QStringLiteral("data"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    qputenv("XDG_DOCUMENTS_DIR", QFile::encodeName(documentsFolder()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
    qunsetenv("QORLINK_COM1");
    setLinkErrorReporting(&state.session, &prompts);
}

StationFixture::~StationFixture() {
    if (state.session.LinkHandle && link.isLoaded())
        link.QorClose(state.session.LinkHandle);
    setLinkErrorReporting(nullptr, nullptr);
}

bool StationFixture::connectStandIn(const QString &options, QString *why) {
    qputenv("QORLINK_FTD2XX", QORVIEW_TEST_STANDIN);
    qputenv("QORSIM_OPTIONS", options.toLocal8Bit());
    QString reason;
    if (!link.isLoaded() && !link.load(&reason)) {
        if (why)
            *why = reason;
        return false;
    }
    constexpr int UsbPort = 4096;
    LinkSession &session = state.session;
    session.LinkInfo = link.QorInitInfoStructure(UsbPort, 115200, 1, &LinkErrorHandler);
    session.LinkHandle = link.QorOpen(session.LinkInfo);
    if (!session.LinkHandle) {
        if (why)
            *why = QStringLiteral("the stand-in unit did not open");
        return false;
    }
    StationStartup startup(state, CommandLine(), [] {});
    startup.prepareUnit();
    return true;
}

QString StationFixture::blockSettingsFolder() {
    const QString blocker = tempPath(QStringLiteral("not-a-folder"));
    QFile file(blocker);
    file.open(QIODevice::WriteOnly);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, blocker);
    return blocker;
}

void StationFixture::addOfflineSystem() {
    state.unit.UnitSystem = std::make_unique<QorSystem>(state.session);
}

void StationFixture::addLvdts(int count) {
    state.unit.UnitSystem->setMaxLvdt(count);
    for (int n = 1; n <= count; ++n) {
        state.unit.Lvdts.push_back(std::make_unique<Lvdt>(state.session));
        state.unit.Lvdts.back()->SetDefaults(n);
    }
}

void StationFixture::addAnalogs(int count) {
    state.unit.MaxAnalog = static_cast<int16_t>(count);
    for (int n = 1; n <= count; ++n) {
        state.unit.Analogs.push_back(std::make_unique<analog>(state.session));
        state.unit.Analogs.back()->SetDefaults(n);
    }
}

group &StationFixture::addGroup(const QString &description, std::initializer_list<int> channels) {
    state.unit.Groups.push_back(std::make_unique<group>());
    group &g = *state.unit.Groups.back();
    g.SetDefaults(state.unit.groupCount());
    g.Description = description;
    for (int channel : channels)
        g.AddChannel(channel);
    return g;
}
