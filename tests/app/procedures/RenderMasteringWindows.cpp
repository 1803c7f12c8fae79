#include "RenderMasteringWindows.h"

#include "MasteringFixture.h"
#include "WindowPicture.h"

#include <cstdio>

namespace {

QString picture(const QString &folder, const char *name, const QString &suffix) {
    return folder + QLatin1Char('/') + QLatin1String(name) + QLatin1Char('-') + suffix +
           QStringLiteral(".png");
}

} // namespace

// The channel dialog waiting for master 1 and after two masters; the group dialog waiting for
// master 1, completed, and with a row that failed (a channel whose scaling is 0 reads the same
// for both masters) beside a channel without formula.
bool renderMastering(const QString &folder, const QString &suffix) {
    MasteringStation station;
    QString why;
    if (!station.start(&why)) {
        std::fprintf(stderr, "stand-in unit not opened: %s\n", qPrintable(why));
        return false;
    }
    MasteringStation::control("master1 -0.013");
    MasteringStation::control("master2 0.0125");
    bool ok = station.channelCommand(&FormMain::MasterChannel_Click);
    MasteringStation::control("part master1");
    ok = ok && station.freshReading();
    ok &= saveWindowPicture(station.dialog(), picture(folder, "mastering-master1", suffix));
    ok = ok && station.pressMaster();
    MasteringStation::control("part master2");
    ok = ok && station.freshReading() && station.pressMaster() && station.freshReading();
    ok &= saveWindowPicture(station.dialog(), picture(folder, "mastering-completed", suffix));
    station.dialog().close();

    station.addGroup(QStringLiteral("Turned part"), {1, 2, 3, 5});
    station.addGroup(QStringLiteral("Spoilt"), {1, 4, 3});
    station.window->dialogs().setGroupSelection([&station] {
        station.state.view.SelectedGroup = 1;
        station.state.view.GroupSelectCancelled = false;
        station.state.view.PollHold.holdUntilRefresh();
    });
    ok = ok && station.groupCommand(&FormMain::MasterGroup_Click);
    MasteringStation::control("part master1");
    ok = ok && station.freshGroupValues(4);
    ok &= saveWindowPicture(station.groupDialog(), picture(folder, "group-master1", suffix));
    ok = ok && station.pressGroupMaster();
    MasteringStation::control("part master2");
    ok = ok && station.pressGroupMaster() && station.freshGroupValues(4);
    ok &= saveWindowPicture(station.groupDialog(), picture(folder, "group-completed", suffix));

    station.link.QorClearChannel(station.state.session.LinkHandle, 4);
    station.setScaling(3, 0.0f);
    station.window->dialogs().setGroupSelection([&station] {
        station.state.view.SelectedGroup = 2;
        station.state.view.GroupSelectCancelled = false;
        station.state.view.PollHold.holdUntilRefresh();
    });
    ok = ok && station.groupCommand(&FormMain::MasterGroup_Click);
    MasteringStation::control("part master1");
    ok = ok && station.pressGroupMaster();
    MasteringStation::control("part master2");
    ok = ok && station.pressGroupMaster() && station.freshGroupValues(3);
    ok &= saveWindowPicture(station.groupDialog(), picture(folder, "group-failed-row", suffix));
    station.window->linkScheduler().stopPolling();
    if (!ok)
        std::fprintf(stderr, "the mastering dialogs did not reach every state\n");
    return ok;
}
