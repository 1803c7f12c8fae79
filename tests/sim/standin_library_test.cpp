// qorsim names the stand-in USB library that came with it, in the build tree and once installed.
#include "standin_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qorsim {
namespace {

namespace fs = std::filesystem;

class StandinLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qorsim-standin-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "bin");
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path place(const std::string &folder) {
        fs::create_directories(root / folder);
        std::ofstream(root / folder / kStandinFileName) << "stand-in";
        return root / folder / kStandinFileName;
    }

    std::string find() const {
        return findStandinLibrary((root / "bin").string(),
                                  {"../lib/sim", "../lib/x86_64-linux-gnu/qorsim"});
    }

    fs::path root;
};

TEST_F(StandinLibrary, BuildTreeLayout) {
    EXPECT_EQ(find(), place("lib/sim").string());
}

TEST_F(StandinLibrary, InstalledPrivateFolder) {
    EXPECT_EQ(find(), place("lib/x86_64-linux-gnu/qorsim").string());
}

TEST_F(StandinLibrary, TheFirstFolderThatHoldsItWins) {
    const fs::path buildTree = place("lib/sim");
    place("lib/x86_64-linux-gnu/qorsim");
    EXPECT_EQ(find(), buildTree.string());
}

TEST_F(StandinLibrary, NothingWhereNoFolderHoldsTheFile) {
    EXPECT_EQ(find(), "");
    // A folder of that name is no library, and the library's own folder on the loader's path
    // is not looked at.
    fs::create_directories(root / "lib/sim" / kStandinFileName);
    place("lib/x86_64-linux-gnu");
    EXPECT_EQ(find(), "");
}

} // namespace
} // namespace qorsim
