#include "LinearGauge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

void setMarker(LinearGauge &g, int index, double value, double length, double thickness) {
    g.setMarkerIndex(index);
    g.setMarkerValue(value);
    g.setMarkerLength(length);
    g.setMarkerThickness(thickness);
}

// Renders the gauge on white; returns the share of pixels that are not white.
double inkShare(LinearGauge &g, QSize size) {
    g.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    g.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixel(x, y) != qRgb(255, 255, 255);
    return double(ink) / (size.width() * size.height());
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

TEST(LinearGauge, PaintsSoundlyWhateverItIsGiven) {
    const struct {
        const char *legend;
        double bottom, top, value, step, limit;
        int decimals;
        QSize size;
    } cases[] = {
        {"ordinary channel", -0.01, 0.01, 0.003, 0.002, 0.004, 4, {90, 240}},
        {"top equals bottom", 1.0, 1.0, 1.0, 0.0001, 1.0, 4, {90, 240}},
        {"reading not a number", -1, 1, NaN, 0.2, 0.5, 2, {90, 240}},
        {"inverted range", 1, -1, 0.5, 0.0001, 0.5, 3, {90, 240}},
        {"infinite scale", -Inf, Inf, 0, 0.1, 0.5, 2, {90, 240}},
        {"limits not a number", -1, 1, 0.2, 0.2, NaN, 2, {90, 240}},
        {"reading far outside", -1, 1, 1e30, 0.2, 0.5, 2, {90, 240}},
        {"tick step zero", -1, 1, 0, 0, 0.5, 2, {90, 240}},
        {"absurd decimals", -1, 1, 0, 0.2, 0.5, 400, {90, 240}},
        {"negative decimals", -1, 1, 0, 0.2, 0.5, -3, {90, 240}},
        {"small cell of 128", -0.05, 0.05, 0.01, 0.01, 0.02, 5, {52, 96}},
        {"tiny widget", -1, 1, 0, 0.2, 0.5, 2, {6, 6}},
        {"large cell", -0.05, 0.05, -0.03, 0.01, 0.02, 5, {400, 900}},
    };
    for (const auto &c : cases) {
        LinearGauge g;
        g.setCaption(QStringLiteral("Channel "));
        g.setScaleBottom(c.bottom);
        g.setScaleTop(c.top);
        g.setValueBottom(c.bottom);
        g.setValueTop(c.top);
        g.setTickStep(c.step);
        g.setLabelDecimals(c.decimals);
        setMarker(g, 1, -c.limit, 0.85, 0.01);
        setMarker(g, 2, -c.limit / 2, 0.85, 0.01);
        setMarker(g, 3, c.limit / 2, 0.85, 0.01);
        setMarker(g, 4, c.limit, 0.85, 0.01);
        setMarker(g, 0, c.value, 1.0, 0.02);
        g.setValue(c.value);
        const double ink = inkShare(g, c.size);
        // Something is drawn where there is room, and never a solid block of garbage.
        if (c.size.width() >= 30) {
            EXPECT_GT(ink, 0.0) << c.legend;
        }
        EXPECT_LT(ink, 0.9) << c.legend;
    }
}

TEST(LinearGauge, ZonesShowTheReadingsVerdict) {
    // The filled bar takes the colour of the reading's zone.
    const struct {
        double value;
        GaugeZone zone;
    } cases[] = {{0.001, GaugeZone::Good}, {0.003, GaugeZone::Warning}, {0.008, GaugeZone::Reject}};
    for (const auto &c : cases) {
        LinearGauge g;
        g.setScaleBottom(-0.01);
        g.setScaleTop(0.01);
        g.setValueBottom(-0.01);
        g.setValueTop(0.01);
        setMarker(g, 1, -0.004, 0.85, 0.01);
        setMarker(g, 2, -0.002, 0.85, 0.01);
        setMarker(g, 3, 0.002, 0.85, 0.01);
        setMarker(g, 4, 0.004, 0.85, 0.01);
        g.setValue(c.value);
        g.resize(120, 300);
        QImage image(g.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        g.render(&image);
        const QRgb zone = LinearGauge::zoneColor(c.zone).rgb();
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found += image.pixel(x, y) == zone;
        EXPECT_GT(found, 10) << c.value;
    }
}

TEST(LinearGauge, RedrawSwitchHoldsBackPaintingAndUnchangedSettingsPaintNothing) {
    LinearGauge g;
    g.resize(90, 240);
    g.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    g.installEventFilter(&counter);

    g.setRedraw(false);
    g.setValue(0.5);
    g.setCaption(QStringLiteral("Bore"));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    g.setRedraw(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);

    counter.paints = 0;
    g.setValue(0.5);
    g.setCaption(QStringLiteral("Bore"));
    g.setExtraInt(0, 0);
    g.setRedraw(false);
    g.setRedraw(true);
    g.setValue(NaN);
    g.setValue(0.5);
    g.setValue(0.5);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1); // only the NaN and back, coalesced into one
}

namespace {

// A channel measured at its nominal size: 25.000 +- 0.005 with limits at +- 0.003 and +- 0.002,
// where a made-up reading of 0 lies far below the scale, in the reject zone.
void nominalChannel(LinearGauge &g) {
    g.setScaleBottom(24.995);
    g.setScaleTop(25.005);
    g.setValueBottom(24.995);
    g.setValueTop(25.005);
    g.setTickStep(0.001);
    g.setLabelDecimals(5);
    setMarker(g, 1, 24.997, 0.85, 0.01);
    setMarker(g, 2, 24.998, 0.85, 0.01);
    setMarker(g, 3, 25.002, 0.85, 0.01);
    setMarker(g, 4, 25.003, 0.85, 0.01);
    g.setMarkerIndex(0);
    g.resize(120, 300);
}

QImage picture(LinearGauge &g) {
    QImage image(g.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    g.render(&image);
    return image;
}

int pixelsOf(const QImage &image, QColor color) {
    int found = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            found += image.pixel(x, y) == color.rgb();
    return found;
}

} // namespace

TEST(LinearGauge, WithoutAReadingShowsNoPointerNoVerdictAndNoValue) {
    LinearGauge never;
    nominalChannel(never);
    EXPECT_FALSE(never.hasReading());
    EXPECT_EQ(never.readoutText(), QString());
    const QImage empty = picture(never);
    EXPECT_EQ(pixelsOf(empty, LinearGauge::zoneColor(GaugeZone::Reject)), 0);

    // A reading of 0 is a reading: shown, and a reject on this scale.
    LinearGauge read;
    nominalChannel(read);
    read.setValue(0.0);
    read.setMarkerValue(0.0);
    EXPECT_TRUE(read.hasReading());
    EXPECT_EQ(read.readoutText(), QStringLiteral("0.00000"));
    EXPECT_GT(pixelsOf(picture(read), LinearGauge::zoneColor(GaugeZone::Reject)), 10);

    // Cleared, it looks exactly as it did before its first reading.
    read.clearReading();
    EXPECT_FALSE(read.hasReading());
    EXPECT_EQ(read.readoutText(), QString());
    EXPECT_EQ(picture(read), empty);
}

TEST(LinearGauge, NeutralShowsTheReadingWithoutVerdictAndStaleGreysIt) {
    const QColor reject = LinearGauge::zoneColor(GaugeZone::Reject);
    const QColor grey = LinearGauge::staleColor();
    // Grey pixels: none, a few (the readout's text alone) or many (the bar filled grey too).
    enum Grey { None, Text, Bar };
    const struct {
        const char *legend;
        bool neutral, stale;
        bool verdict;
        Grey grey;
    } cases[] = {
        {"a known gauge judges its reading", false, false, true, None},
        {"a neutral gauge does not", true, false, false, None},
        {"a stale reading is grey, not judged", false, true, false, Bar},
        {"neutral and stale: grey text, still nothing on the bar", true, true, false, Text},
    };
    for (const auto &c : cases) {
        LinearGauge g;
        nominalChannel(g);
        g.setNeutral(c.neutral);
        g.setStale(c.stale);
        g.setValue(25.0045); // a reject
        g.setMarkerValue(25.0045);
        const QImage image = picture(g);
        EXPECT_EQ(pixelsOf(image, reject) > 10, c.verdict) << c.legend;
        const int greyPixels = pixelsOf(image, grey);
        const Grey found = greyPixels == 0 ? None : greyPixels < 150 ? Text : Bar;
        EXPECT_EQ(found, c.grey) << c.legend << ": " << greyPixels;
        EXPECT_EQ(g.readoutText(), QStringLiteral("25.00450")) << c.legend;
    }

    // Neutral: no scale labels either, only the caption and the readout as text.
    LinearGauge neutral;
    nominalChannel(neutral);
    neutral.setNeutral(true);
    LinearGauge bare;
    nominalChannel(bare);
    bare.setNeutral(true);
    bare.setTickStep(0.0005);
    EXPECT_EQ(picture(neutral), picture(bare)) << "the scale's marks are not drawn";

    // A note takes the readout's place while there is no reading.
    LinearGauge noted;
    nominalChannel(noted);
    noted.setNeutral(true);
    const QImage plain = picture(noted);
    noted.setNote(QStringLiteral("no such channel"));
    EXPECT_NE(picture(noted), plain);
    EXPECT_EQ(noted.readoutText(), QString()) << "a note is no reading";
}
