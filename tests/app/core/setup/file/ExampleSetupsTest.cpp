#include "ExampleSetups.h"
#include "SetupFileStore.h"
#include "SetupFileWriter.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace setupfile;

namespace {

// The files in examples/ are what the writer makes of the example setups (regenerate them with
// write_example_setups), and they read back as those setups from any station values.
TEST(ExampleSetups, TheKeptFilesAreWhatTheWriterMakesAndReadBack) {
    SetupStationValues other;
    other.channelCount = 1;
    other.probeCount = 0;
    for (const ExampleSetup &example : ExampleSetups) {
        const QString path = QStringLiteral(QORVIEW_EXAMPLES_DIR "/") + example.fileName;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << example.fileName;
        EXPECT_EQ(file.readAll(), writeSetup(example.make())) << example.fileName;
        const SetupReadResult loaded = loadSetupFile(path, other);
        ASSERT_TRUE(loaded.document) << example.fileName;
        EXPECT_EQ(*loaded.document, example.make()) << example.fileName;
        EXPECT_TRUE(loaded.notices.empty()) << example.fileName;
    }
}

} // namespace
