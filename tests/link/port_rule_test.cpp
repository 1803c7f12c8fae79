// The COM port rule on real files: the order of its sources and how a ports.conf line counts.
// The link library and the station's wizard both take their answer from here.
#include "port_rule.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using qor::portrule::Source;

struct RuleCase {
    const char *legend;
    int32_t port;
    const char *environment; // QORLINK_COM<port>; nullptr leaves it unset
    const char *user;        // contents of the user's file; nullptr: no file
    const char *system;
    const char *device;
    Source source;
    friend void PrintTo(const RuleCase &value, std::ostream *out) { *out << value.legend; }
};

class TempFolder {
public:
    TempFolder() : path_(fs::temp_directory_path() / ("qorlink-rule-" + std::to_string(getpid()))) {
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    fs::path operator/(const char *name) const { return path_ / name; }

private:
    fs::path path_;
};

class PortRule : public testing::TestWithParam<RuleCase> {};

TEST_P(PortRule, Resolves) {
    const RuleCase &c = GetParam();
    TempFolder folder;
    const qor::portrule::Files files{folder / "user.conf", folder / "system.conf"};
    if (c.user != nullptr) {
        std::ofstream(files.user) << c.user;
    }
    if (c.system != nullptr) {
        std::ofstream(files.system) << c.system;
    }
    const std::string variable = "QORLINK_" + qor::portrule::key_of(c.port);
    if (c.environment != nullptr) {
        setenv(variable.c_str(), c.environment, 1);
    } else {
        unsetenv(variable.c_str());
    }
    const auto resolution = qor::portrule::resolve(c.port, files);
    unsetenv(variable.c_str());
    EXPECT_EQ(resolution.device, c.device);
    EXPECT_EQ(resolution.source, c.source);
    EXPECT_EQ(resolution.files.user, files.user);
    EXPECT_EQ(resolution.files.system, files.system);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortRule,
    testing::Values(
        RuleCase{"NothingConfiguredGivesTtySOfNMinus1", 2, nullptr, nullptr, nullptr, "/dev/ttyS1",
                 Source::Default},
        RuleCase{"EnvironmentBeatsBothFiles", 2, "/dev/env", "COM2=/dev/user", "COM2=/dev/system",
                 "/dev/env", Source::Environment},
        RuleCase{"EmptyEnvironmentCountsAsUnset", 2, "", "COM2=/dev/user", nullptr, "/dev/user",
                 Source::UserFile},
        RuleCase{"UserFileBeatsSystemFile", 2, nullptr, "COM2=/dev/user\n", "COM2=/dev/system\n",
                 "/dev/user", Source::UserFile},
        RuleCase{"SystemFileWhenTheUserFileNamesOtherPorts", 2, nullptr, "COM3=/dev/user3\n",
                 "COM2=/dev/system\n", "/dev/system", Source::SystemFile},
        RuleCase{"BlanksAroundKeyEqualsAndValueDoNotCount", 2, nullptr,
                 " \tCOM2 \t=  /dev/user  \r\n", nullptr, "/dev/user", Source::UserFile},
        RuleCase{"CommentsAndBlankLinesAreSkipped", 2, nullptr,
                 "# COM2=/dev/commented\n\n \t\n  #COM2=/dev/indented\nCOM2=/dev/user\n", nullptr,
                 "/dev/user", Source::UserFile},
        RuleCase{"FirstOfDuplicateLinesWins", 2, nullptr, "COM2=/dev/first\nCOM2=/dev/second\n",
                 nullptr, "/dev/first", Source::UserFile},
        RuleCase{"EmptyValueCountsAsAbsent", 2, nullptr, "COM2=\nCOM2 =  \n", "COM2=/dev/system",
                 "/dev/system", Source::SystemFile},
        RuleCase{"EmptyValueLaterInTheFileDoesNotHideAnEarlierOne", 2, nullptr,
                 "COM2=/dev/user\nCOM2=\n", nullptr, "/dev/user", Source::UserFile},
        RuleCase{"KeysCompareExactly", 2, nullptr,
                 "com2=/dev/a\nCOM02=/dev/b\nCOM21=/dev/c\nCOM2x=/dev/d\nCOM 2=/dev/e\n", nullptr,
                 "/dev/ttyS1", Source::Default},
        RuleCase{"LinesWithoutEqualsOrKeyAreSkipped", 2, nullptr,
                 "COM2 /dev/nothing\n=/dev/nokey\nCOM2=/dev/user", nullptr, "/dev/user",
                 Source::UserFile},
        RuleCase{"ValueRunsFromTheFirstEqualsAndKeepsHashes", 2, nullptr,
                 "COM2=/dev/serial/by-id/a=b #1\n", nullptr, "/dev/serial/by-id/a=b #1",
                 Source::UserFile},
        RuleCase{"PortZeroNamesNoPort", 0, "/dev/env", "COM0=/dev/user", nullptr, "",
                 Source::Default},
        RuleCase{"NegativePortNamesNoPort", -1, nullptr, "COM-1=/dev/user", nullptr, "",
                 Source::Default},
        RuleCase{"LargestPortNumber", INT32_MAX, nullptr, nullptr, nullptr, "/dev/ttyS2147483646",
                 Source::Default}),
    [](const testing::TestParamInfo<RuleCase> &param) { return param.param.legend; });

TEST(PortRuleFiles, UserFileFollowsXdgConfigHomeThenHome) {
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    setenv("HOME", "/home/op", 1);
    EXPECT_EQ(qor::portrule::files_from_environment().user, "/cfg/qorlink/ports.conf");
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(qor::portrule::files_from_environment().user, "/home/op/.config/qorlink/ports.conf");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    const auto files = qor::portrule::files_from_environment();
    EXPECT_EQ(files.user, "") << "no home, no user file";
    EXPECT_EQ(files.system, "/etc/qorlink/ports.conf");
}

} // namespace
