#include "TextFileStore.h"
#include "FileFolderFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

using namespace textfile;

namespace {

const FileKind SmallFile{QStringLiteral("a small file"), 16, {1, "bytes"}};

class TextFileStore : public FileFolderFixture {};

struct ReadCase {
    const char *legend;
    const char *name;
    QByteArray expected;
    QString failure; // after the path
};

TEST_F(TextFileStore, AFileIsReadWholeUpToItsKindsLimitOrSaysWhyNot) {
    ASSERT_TRUE(writeFile(path("limit.txt"), QByteArray(16, 'x')));
    ASSERT_TRUE(writeFile(path("over.txt"), QByteArray(17, 'x')));
    ASSERT_TRUE(writeFile(path("empty.txt"), QByteArray()));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("folder.txt")));
    const ReadCase cases[] = {
        {"a file of exactly the limit", "limit.txt", QByteArray(16, 'x'), {}},
        {"an empty file", "empty.txt", {}, {}},
        {"one byte over the limit",
         "over.txt",
         {},
         QStringLiteral(" is larger than 16 bytes and cannot be a small file.")},
        {"a folder", "folder.txt", {}, QStringLiteral(" is a folder, not a small file.")},
        {"a missing file", "missing.txt", {}, QStringLiteral(" file not found.")},
    };
    for (const auto &c : cases) {
        const FileBytes file = readFileBytes(path(c.name), SmallFile);
        EXPECT_EQ(file.bytes, c.expected) << c.legend;
        EXPECT_EQ(file.failure, c.failure.isEmpty() ? QString() : path(c.name) + c.failure)
            << c.legend;
    }
    EXPECT_EQ(readFileBytes(QString(), SmallFile).failure, QStringLiteral(" file not found."))
        << "no file named is no file found";
}

struct HalfWayCase {
    const char *legend;
    std::optional<QByteArray> old; // the file before the save, if there was one
};

// A save that fails half way (here: the file size limit of the process, which holds for root too,
// as a full disk would) reports the failure and leaves the old file exactly as it was.
TEST_F(TextFileStore, ASaveThatFailsHalfWayLeavesTheOldFile) {
    const HalfWayCase cases[] = {
        {"the old file stays as it was", QByteArray("old\r\n")},
        {"no half-written file appears where there was none", std::nullopt},
    };
    const QString file = path("kept.txt");
    for (const auto &c : cases) {
        QFile::remove(file);
        if (c.old) {
            ASSERT_TRUE(writeFile(file, *c.old)) << c.legend;
        }

        rlimit limit{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit small{4096, limit.rlim_max};
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString failure = saveFileBytes(file, QByteArray(60000, 'x'));
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previousHandler);

        EXPECT_TRUE(failure.startsWith(file + QStringLiteral(" cannot be")))
            << c.legend << ": " << failure.toStdString();
        EXPECT_EQ(QFile::exists(file), c.old.has_value()) << c.legend;
        EXPECT_EQ(contentsOf(file), c.old.value_or(QByteArray())) << c.legend;
        EXPECT_EQ(files(), c.old ? QStringList{"kept.txt"} : QStringList()) << c.legend;
    }
}

} // namespace
