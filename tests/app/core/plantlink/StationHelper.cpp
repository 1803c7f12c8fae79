// A station's plant link on its own, for tests that kill it: connects to the broker named on
// the command line (host port station) and says "connected" on a line once the broker accepted
// it, then runs until it is ended.
#include "PlantLinkClient.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: %s HOST PORT STATION\n", argv[0]);
        return 2;
    }
    plantlink::MemoryOutbox outbox;
    plantlink::PlantLinkClient client(outbox);
    QObject::connect(&client, &plantlink::PlantLinkClient::stateChanged, &app,
                     [](const plantlink::LinkState &state) {
                         if (state.kind == plantlink::LinkState::Connected) {
                             std::puts("connected");
                             std::fflush(stdout);
                         }
                     });
    plantlink::PlantLinkConfig config;
    config.host = arguments[1];
    config.port = arguments[2].toInt();
    config.station = arguments[3];
    client.setStationInfo({QStringLiteral("helper"), QString()});
    client.start(config);
    return app.exec();
}
