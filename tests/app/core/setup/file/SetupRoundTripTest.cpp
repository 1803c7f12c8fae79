#include "SetupFileReader.h"
#include "SetupFileWriter.h"
#include "UnitTexts.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>

using namespace setupfile;

namespace {

// Random setups from a seed: any counts, channels in use anywhere in the set, texts of odd
// characters (those the unit keeps no longer than it takes them), singles from every range, groups
// with any channel numbers, any window layout.
class SetupGenerator {
public:
    explicit SetupGenerator(unsigned seed) : m_random(seed) {}

    SetupDocument setup() {
        SetupDocument setup;
        SetupStationValues &station = setup.station;
        station.channelCount = number(0, 130);
        station.probeCount = number(0, 40);
        station.analogCount = number(0, 20);
        station.digitalCount = number(0, 3);
        station.decimals = number(-2, 9);
        for (int16_t &value : station.windowLayout)
            value = number(-32768, 32767);
        for (int16_t n = 1; n <= station.channelCount; ++n) {
            if (chance(3))
                setup.channels.push_back(channel(n));
        }
        for (int16_t n = 1; n <= station.probeCount; ++n) {
            if (!chance(8))
                setup.probes.push_back(input(n));
        }
        for (int16_t n = 1; n <= station.analogCount; ++n) {
            if (!chance(8))
                setup.analogs.push_back(input(n));
        }
        for (int g = number(0, 6); g > 0; --g)
            setup.groups.push_back(group());
        return setup;
    }

private:
    int16_t number(int low, int high) {
        return static_cast<int16_t>(std::uniform_int_distribution<int>(low, high)(m_random));
    }
    bool chance(int oneIn) { return number(1, oneIn) == 1; }

    QString text(int longest = 300) {
        static const QString characters = QStringLiteral("abcXYZ 0123456789.,=;:-+()[]\t\r\n"
                                                         "äöüßéèçñøÅØµ°±²½¿×÷ÿ");
        QString text;
        for (int n = number(0, chance(10) ? longest : 20); n > 0; --n)
            text += characters[number(0, static_cast<int>(characters.size()) - 1)];
        return text;
    }

    // A description or formula as the unit keeps it: no longer than it takes, and without the
    // tab, a control character that the unit drops.
    QString unitText() {
        return text(MaxUnitTextLength).replace(QLatin1Char('\t'), QLatin1Char(' '));
    }

    float single() {
        switch (number(0, 5)) {
        case 0: { // any finite bit pattern
            float value;
            do {
                const auto bits = static_cast<uint32_t>(m_random()); // 32 bits a draw
                std::memcpy(&value, &bits, sizeof value);
            } while (!std::isfinite(value));
            return value;
        }
        case 1:
            return static_cast<float>(number(-100000, 100000)) / 1000.0f;
        case 2:
            return std::ldexp(1.0f, number(-149, 127)) * (chance(2) ? -1.0f : 1.0f);
        case 3:
            return FLT_MAX / 5.0f * static_cast<float>(number(-5, 5));
        case 4:
            return std::numeric_limits<float>::denorm_min() * static_cast<float>(number(0, 100));
        default:
            return std::uniform_real_distribution<float>(-30.0f, 30.0f)(m_random);
        }
    }

    ChannelRecord channel(int16_t index) {
        return {index,    unitText(), unitText(), number(-3, 12), text(),   single(),
                single(), chance(2),  single(),   single(),       single(), single(),
                single(), single(),   single(),   single()};
    }
    InputRecord input(int16_t index) { return {index, text(), single(), single()}; }
    GroupRecord group() {
        GroupRecord group;
        group.index = number(-5, 200);
        group.description = text();
        for (int n = number(0, 40); n > 0; --n)
            group.channels.push_back(number(-32768, 32767));
        group.windowGridTop = number(-32768, 32767);
        group.windowBarWidth = number(-32768, 32767);
        group.windowDialWidth = number(-32768, 32767);
        return group;
    }

    std::mt19937 m_random;
};

// What a setup reads back as: line breaks in texts were written as blanks and the digital count
// as 0.
SetupDocument asWritten(SetupDocument setup) {
    const auto blankBreaks = [](QString &text) {
        text.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
    };
    setup.station.digitalCount = 0;
    for (ChannelRecord &channel : setup.channels) {
        blankBreaks(channel.description);
        blankBreaks(channel.formula);
        blankBreaks(channel.units);
    }
    for (auto *inputs : {&setup.probes, &setup.analogs}) {
        for (InputRecord &input : *inputs)
            blankBreaks(input.description);
    }
    for (GroupRecord &group : setup.groups)
        blankBreaks(group.description);
    return setup;
}

TEST(SetupRoundTrip, AWrittenSetupReadsBackTheSameAndWritesTheSameBytes) {
    SetupStationValues otherValues;
    otherValues.channelCount = 1;
    otherValues.decimals = 2;
    otherValues.windowLayout.fill(-1);
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const SetupDocument setup = SetupGenerator(seed).setup();
        const QByteArray written = writeSetup(setup);
        const SetupReadResult back = readSetup(written, otherValues);
        ASSERT_TRUE(back.document) << "seed " << seed << ": " << back.error.message().toStdString();
        EXPECT_TRUE(back.notices.empty()) << "seed " << seed;
        EXPECT_EQ(*back.document, asWritten(setup)) << "seed " << seed;
        EXPECT_EQ(writeSetup(*back.document), written) << "seed " << seed;
    }
}

} // namespace
