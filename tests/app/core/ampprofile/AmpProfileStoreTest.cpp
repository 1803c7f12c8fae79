#include "AmpProfileStore.h"
#include "AmpProfileWriter.h"
#include "FileFolderFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace procedures;

namespace {

const AmpProfileDocument TwoProbes{2, {{1, {120, 85, -20, 0}}, {2, {0, 30, 100, -500}}}};

class AmpProfileStore : public FileFolderFixture {};

TEST_F(AmpProfileStore, ASavedProfileReplacesTheOldFileAndLoadsBack) {
    const QString file = path("unit.qap");
    ASSERT_TRUE(writeFile(file, QByteArray(5000, 'x')));
    EXPECT_EQ(saveAmpProfile(file, TwoProbes), QString());
    EXPECT_EQ(contentsOf(file), writeAmpProfile(TwoProbes));
    const AmpProfileReadResult loaded = loadAmpProfile(file);
    ASSERT_TRUE(loaded.document) << loaded.error.message().toStdString();
    EXPECT_EQ(*loaded.document, TwoProbes);
    EXPECT_EQ(files(), QStringList{"unit.qap"}) << "no temporary file is left behind";
}

TEST_F(AmpProfileStore, FilesThatCannotBeReadSayWhy) {
    QDir(m_folder.path()).mkdir(QStringLiteral("folder.qap"));
    QFile large(path("large.qap"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(MaxAmpProfileFileSize + 1));
    large.close();
    const struct {
        const char *legend;
        QString path;
        QString reason;
    } cases[] = {
        {"a missing file, in the station's words", path("missing.qap"),
         path("missing.qap") + QStringLiteral(" file not found.")},
        {"a folder", path("folder.qap"),
         path("folder.qap") + QStringLiteral(" is a folder, not an amplifier profile.")},
        {"a file too large to be a profile", path("large.qap"),
         path("large.qap") + QStringLiteral(" is larger than 1024 KB and cannot be an amplifier "
                                            "profile.")},
    };
    for (const auto &c : cases) {
        const AmpProfileReadResult result = loadAmpProfile(c.path);
        ASSERT_FALSE(result.document) << c.legend;
        EXPECT_EQ(result.error.lineNumber, 0) << c.legend;
        EXPECT_EQ(result.error.message(), c.reason) << c.legend;
    }
}

} // namespace
