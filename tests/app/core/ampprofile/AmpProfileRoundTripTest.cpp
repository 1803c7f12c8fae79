#include "AmpProfileReader.h"
#include "AmpProfileTestText.h"
#include "AmpProfileWriter.h"

#include <gtest/gtest.h>

#include <random>

using namespace procedures;

namespace {

TEST(AmpProfileWriter, WritesTheLayoutWithCrLfAndPrintStyleNumbers) {
    const AmpProfileDocument document{2, {{1, {120, 85, -20, 0}}, {2, {0, 255, 100, -500}}}};
    EXPECT_EQ(writeAmpProfile(document),
              crlf(ProfileStart + "[General Setup]\nMaxLVDT= 2 \n[End Section]\n" +
                   block(1, 85, 120, -20, 0) + block(2, 255, 0, 100, -500) + ProfileEnd));
    EXPECT_EQ(writeAmpProfile({}), crlf(ProfileStart + ProfileEnd))
        << "no count, no general section";
}

class ProfileGenerator {
public:
    explicit ProfileGenerator(unsigned seed) : m_random(seed) {}

    AmpProfileDocument profile() {
        AmpProfileDocument document;
        if (number(0, 5) > 0)
            document.probeCount = static_cast<int16_t>(number(0, 32767));
        for (int n = number(0, 130); n > 0; --n) {
            AmplifierSettings a;
            a.rf = static_cast<uint8_t>(number(0, 255));
            a.ri = static_cast<uint8_t>(number(0, 255));
            // The unit's whole fields, beyond what the scroll bars show: whatever the unit
            // holds is saved, and must load again.
            a.fine = static_cast<int16_t>(number(-32768, 32767));
            a.null = static_cast<int16_t>(number(-32768, 32767));
            document.blocks.push_back({static_cast<int16_t>(number(1, 32767)), a});
        }
        return document;
    }

private:
    int number(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    std::mt19937 m_random;
};

TEST(AmpProfileRoundTrip, AnyProfileReadsBackAsWritten) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        const AmpProfileDocument document = ProfileGenerator(seed).profile();
        const QByteArray written = writeAmpProfile(document);
        const AmpProfileReadResult read = readAmpProfile(written);
        ASSERT_TRUE(read.document) << "seed " << seed << ": " << read.error.message().toStdString();
        EXPECT_EQ(*read.document, document) << "seed " << seed;
        EXPECT_TRUE(read.notices.empty()) << "seed " << seed;
    }
}

} // namespace
