#include "AmpProfileStore.h"
#include "AmpProfileWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace procedures;

namespace {

const AmpProfileDocument TwoProbes{2, {{1, {120, 85, -20, 0}}, {2, {0, 30, 100, -500}}}};

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class AmpProfileStore : public ::testing::Test {
protected:
    QString path(const char *name) const { return m_folder.filePath(QLatin1String(name)); }
    QTemporaryDir m_folder;
};

TEST_F(AmpProfileStore, ASavedProfileReplacesTheOldFileAndLoadsBack) {
    const QString file = path("unit.qap");
    ASSERT_TRUE(writeFile(file, QByteArray(5000, 'x')));
    EXPECT_EQ(saveAmpProfile(file, TwoProbes), QString());
    EXPECT_EQ(contentsOf(file), writeAmpProfile(TwoProbes));
    const AmpProfileReadResult loaded = loadAmpProfile(file);
    ASSERT_TRUE(loaded.document) << loaded.error.message().toStdString();
    EXPECT_EQ(*loaded.document, TwoProbes);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"unit.qap"})
        << "no temporary file is left behind";
}

// A file size limit makes the write fail part way, as a full disk would.
TEST_F(AmpProfileStore, AFailedSaveLeavesTheOldFile) {
    const QString file = path("unit.qap");
    const QByteArray old = writeAmpProfile(TwoProbes);
    ASSERT_TRUE(writeFile(file, old));
    AmpProfileDocument large;
    for (int16_t probe = 1; probe <= 1000; ++probe)
        large.blocks.push_back({probe, {}});

    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{4096, limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString failure = saveAmpProfile(file, large);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(failure.startsWith(file + QStringLiteral(" cannot be"))) << failure.toStdString();
    EXPECT_EQ(contentsOf(file), old);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"unit.qap"});
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
