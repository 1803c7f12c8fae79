// A client of the station's live values as another program would be one, for tests and the
// benchmark: advises the items named on its command line, says "advised" on a line of its own,
// counts the Changed signals it receives, and when its standard input closes says "received N"
// and leaves without unadvising (killed, it leaves the same way, only sooner).

#include "LiveItems.h"
#include "display1proxy.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList items = app.arguments().mid(1);
    if (items.isEmpty()) {
        std::fprintf(stderr, "usage: qorview_live_client ITEM...\n");
        return 2;
    }
    OrgQorviewDisplay1Interface display(QLatin1String(LiveItems::ServiceName),
                                        QLatin1String(LiveItems::ObjectPath),
                                        QDBusConnection::sessionBus());
    long received = 0;
    QObject::connect(&display, &OrgQorviewDisplay1Interface::Changed, &display,
                     [&received](const QString &, const QString &) { ++received; });
    for (const QString &item : items) {
        QDBusPendingReply<> advised = display.Advise(item);
        advised.waitForFinished();
        if (advised.isError()) {
            std::printf("error %s\n", qPrintable(advised.error().name()));
            return 1;
        }
    }
    std::printf("advised\n");
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &input, [&] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) > 0)
            return;
        // The end of input stays readable; once is enough.
        input.setEnabled(false);
        // Every Changed sent before the station answers this has arrived by then.
        display.Request(items.front()).waitForFinished();
        QCoreApplication::processEvents();
        std::printf("received %ld\n", received);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QCoreApplication::exec();
}
