#pragma once

#include <QString>

#include <limits>
#include <optional>
#include <vector>

namespace plantlink {

class PlantLinkClient;

// One channel's reading of a poll tick, as the station shows it.
struct LiveReading {
    int channel = 0;
    std::optional<double> value; // none: no reading
    QString text;                // the value as shown (" 12.003", "-0.50", " 3.")
};

// Feeds the poll's readings to the link's live values. Each reading goes to the link as the
// station shows it; the link sends a channel's value only when it differs from the last one sent
// and the channel's minimum interval has passed, so a steady reading costs the broker nothing.
// While live values are off or the broker is away a tick costs a single test.
class LivePublisher {
public:
    explicit LivePublisher(PlantLinkClient &client) : m_client(client) {}

    // The readings of poll tick `tick`; ticks count up for the station's run. A tick may come in
    // several calls. Readings of a tick older than one already seen came late (queued behind the
    // newer) and are dropped, so an old value never follows a newer one to the broker.
    void onReadings(qint64 tick, const std::vector<LiveReading> &readings);
    // One reading of tick `tick`, as a poll that hands on each reading as it is taken gives it.
    void onReading(qint64 tick, const LiveReading &reading);

private:
    // Whether readings of tick go out now; notes the tick as seen.
    bool wanted(qint64 tick);

    PlantLinkClient &m_client;
    qint64 m_newestTick = std::numeric_limits<qint64>::min();
};

// The reading as a JSON number: its shown text without the blanks around it and without a point
// that ends it ("3." is 3). A text that is no plain decimal number gives the value in full, and no
// value gives an empty text (null on the wire).
QString liveNumberText(const LiveReading &reading);

} // namespace plantlink
