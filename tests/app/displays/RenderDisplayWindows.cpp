// Renders the grid and bar windows with plausible channels, limits and readings to PNG files for
// review: render_display_windows [folder] (default /tmp/displays-shots).

#include "DisplayRules.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "GaugeTestSetup.h"
#include "StationFixture.h"

#include "WindowPicture.h"

#include <QApplication>

#include <cmath>
#include <cstdio>

namespace {

const char *const Names[] = {"Main journal 1", "Main journal 2", "Pin diameter",  "Runout",
                             "Bore upper",     "Bore lower",     "Flange height", "Taper",
                             "Stroke",         "Ovality"};

QString channelName(int i) {
    const QString base = QString::fromLatin1(Names[static_cast<std::size_t>(i) % std::size(Names)]);
    return i < int(std::size(Names)) ? base : base + QStringLiteral(" %1").arg(i + 1);
}

// A reading that wanders through the good, warning and reject zones across the channels.
float reading(int i) {
    return static_cast<float>(0.0065 * std::sin(i * 1.7 + 0.3));
}

GaugeSetup channelSetup(int i) {
    return channelGaugeSetup(channelName(i), 0.005, 0.003);
}

// Eight channels of a turned part measured in millimetres, at their nominal sizes: the
// widest scale labels the window has to find room for.
std::vector<GaugeSetup> partSetups() {
    const struct {
        const char *name;
        double nominal, halfSpan, tolerance;
    } part[] = {{"Bore diameter", 25.0, 0.005, 0.003}, {"Shaft diameter", 12.0, 0.005, 0.003},
                {"Mean height", 40.0, 0.004, 0.002},   {"Taper", 0.0, 0.005, 0.003},
                {"Highest point", 0.0, 0.004, 0.0025}, {"Flatness", 0.0, 0.005, 0.004},
                {"Runout (TIR)", 0.0, 0.006, 0.005},   {"Coolant temperature", 20.0, 8.0, 4.0}};
    std::vector<GaugeSetup> setups;
    for (const auto &c : part) {
        GaugeSetup s;
        s.fullLabel = QString::fromLatin1(c.name);
        s.label = shortenGaugeLabel(s.fullLabel);
        s.top = c.nominal + c.halfSpan;
        s.bottom = c.nominal - c.halfSpan;
        s.decimals = 5;
        s.hasLimits = true;
        s.loTol = c.nominal - c.tolerance;
        s.hiTol = c.nominal + c.tolerance;
        s.loAppr = c.nominal - 0.7 * c.tolerance;
        s.hiAppr = c.nominal + 0.7 * c.tolerance;
        setups.push_back(s);
    }
    return setups;
}

QString valueText(float v) {
    return (v < 0 ? QString() : QStringLiteral(" ")) + QString::number(v, 'f', 4);
}

} // namespace

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = PictureSession::folder(argc, argv, "/tmp/displays-shots");

    OfflineStation station;
    bool ok = true;
    // Every row read, and (the "-start" pictures) only the first rows read so far: the others
    // show no reading yet.
    const struct {
        int rows, read;
        const char *name;
    } grids[] = {{8, 8, "grid-8"}, {20, 20, "grid-20"}, {8, 3, "grid-8-start"}};
    for (const auto &g : grids) {
        FormGridDisplay grid(station.displayed());
        GridContent content{QStringLiteral("Channels"),
                            GridRows{QStringLiteral("Channel"), {}, {}}};
        for (int i = 0; i < g.rows; ++i)
            content.rows->labels << channelName(i);
        grid.showContent(content);
        for (int i = 0; i < g.read; ++i)
            grid.SetGridValue(i + 1, valueText(reading(i)));
        ok &=
            saveWindowPicture(grid, QStringLiteral("%1/%2.png").arg(folder, QLatin1String(g.name)));
    }

    // The set-up read for the first rows only, every reading in, two of them stale; and a group
    // naming a channel the set does not have.
    {
        FormGridDisplay grid(station.displayed());
        GridContent content{QStringLiteral("Channels"),
                            GridRows{QStringLiteral("Channel"), {}, {}}};
        for (int i = 0; i < 8; ++i) {
            const bool known = i < 3;
            content.rows->labels << (known ? channelName(i) : channelNumberLabel(i + 1));
            content.rows->setups << (known ? ItemSetup::Known : ItemSetup::Pending);
        }
        content.rows->labels[6] = missingChannelLabel(12);
        content.rows->setups[6] = ItemSetup::Missing;
        grid.showContent(content);
        for (int i = 0; i < 8; ++i) {
            if (i != 6)
                grid.SetGridValue(i + 1, valueText(reading(i)));
        }
        grid.setValueStale(2, true);
        grid.setValueStale(5, true);
        ok &= saveWindowPicture(grid, folder + QStringLiteral("/grid-8-neutral-stale.png"));
    }
    {
        FormLinGage gauges(station.displayed());
        std::vector<GaugeSetup> setups = partSetups();
        for (size_t i = 3; i < setups.size(); ++i) {
            GaugeSetup pending;
            pending.label = QStringLiteral("Ch %1").arg(i + 1);
            pending.decimals = 5;
            pending.setup = ItemSetup::Pending;
            setups[i] = pending;
        }
        setups[6].setup = ItemSetup::Missing;
        setups[6].label = QStringLiteral("Ch 12");
        const std::vector<GaugeSetup> known = partSetups();
        gauges.showSetups(QStringLiteral("Display Group Turned part"), setups);
        for (int i = 0; i < 8; ++i) {
            const GaugeSetup &s = known[size_t(i)];
            const double nominal = (s.loTol + s.hiTol) / 2;
            if (i != 6)
                gauges.SetBarValue(
                    i + 1,
                    static_cast<float>(nominal + reading(i) / 0.006 * (s.hiTol - nominal) * 1.2));
        }
        gauges.SetBarStale(2, true);
        gauges.SetBarStale(6, true);
        gauges.resize(640, 360);
        ok &= saveWindowPicture(gauges, folder + QStringLiteral("/bars-8-neutral-stale.png"));
    }

    const struct {
        int gauges, read;
        QSize size;
        const char *name;
    } bars[] = {{8, 8, {640, 360}, "bars-8"},
                {8, 4, {640, 360}, "bars-8-start"},
                {16, 16, {900, 560}, "bars-16"},
                {128, 128, {1400, 900}, "bars-128"},
                {128, 128, {1024, 640}, "bars-128-small"}};
    for (const auto &b : bars) {
        FormLinGage gauges(station.displayed());
        std::vector<GaugeSetup> setups = b.gauges == 8 ? partSetups() : std::vector<GaugeSetup>();
        for (int i = static_cast<int>(setups.size()); i < b.gauges; ++i)
            setups.push_back(channelSetup(i));
        gauges.showSetups(QStringLiteral("Display Channels"), setups);
        for (int i = 0; i < b.read; ++i) {
            const GaugeSetup &s = setups[size_t(i)];
            const double nominal = (s.loTol + s.hiTol) / 2;
            gauges.SetBarValue(i + 1, static_cast<float>(nominal + reading(i) / 0.006 *
                                                                       (s.hiTol - nominal) * 1.2));
        }
        gauges.resize(b.size);
        ok &= saveWindowPicture(gauges,
                                QStringLiteral("%1/%2.png").arg(folder, QLatin1String(b.name)));
    }
    return ok ? 0 : 1;
}
