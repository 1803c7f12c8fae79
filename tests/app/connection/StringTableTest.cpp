#include "StringTable.h"

#include <gtest/gtest.h>

namespace {

struct ContinuationCase {
    const char *legend;
    const char *source;
    int id;
    const char *expected;
};

const ContinuationCase ContinuationCases[] = {
    {"plain entry", "5=Hello", 5, "Hello"},
    {"spaces around the text are kept", "5= padded ", 5, " padded "},
    {"one continuation", "5=first _\n6=second", 5, "first second"},
    {"a chain of continuations", "5=a_\n6=b_\n7=c\n8=d", 5, "abc"},
    {"continuation starts from the asked entry", "5=a_\n6=b_\n7=c", 6, "bc"},
    {"underscore inside is text", "5=snake_case here\n6=no", 5, "snake_case here"},
    {"missing next entry ends the text", "5=dangling_\n7=far", 5, "dangling"},
    {"line breaks by escape", "5=one\\n\\n_\n6=two", 5, "one\n\ntwo"},
    {"escaped backslash", "5=a\\\\n", 5, "a\\n"},
    {"comments and blank lines are skipped", "# note\n\n5=x\r\n", 5, "x"},
    {"missing entry is empty", "5=x", 9, ""},
};

TEST(StringTable, ContinuationRule) {
    for (const ContinuationCase &c : ContinuationCases) {
        const StringTable table = StringTable::parse(QString::fromUtf8(c.source));
        EXPECT_EQ(table.text(c.id), QString::fromUtf8(c.expected)) << c.legend;
    }
}

TEST(StringTable, MalformedLinesAreReportedAndSkipped) {
    QStringList errors;
    const StringTable table =
        StringTable::parse(u"1=ok\nno equals\nx=not a number\n2=fine", &errors);
    EXPECT_EQ(table.size(), 2);
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("line 2")));
}

// The wizard's compiled-in table, loaded from the program's resources, gives the exact texts.
TEST(StringTable, WizardTextsLoadFromResources) {
    const struct {
        int id;
        const char *text;
    } expected[] = {
        {100, "Help"},
        {101, "Cancel"},
        {102, "< &Back"},
        {103, "&Next >"},
        {104, "&Finish"},
        {1000, "Introduction"},
        {1001, "The Connection Wizard will help you connect the Qor to this computer. You will "
               "need to have the Qor connected and powered to test the connection."},
        {2000, "Step 1"},
        {2001, "Select the port and baud rate to which the Qor is connected. Press Test "
               "Connection."},
        {2002, "Step 2"},
        {2003, "Press next to proceed."},
        {3000, "Finished!"},
        {3001, "The Connection Wizard is finished collecting information.\n\nTo start using "
               "your QOR, press Finish!"},
    };
    const StringTable &table = StringTable::wizard();
    for (const auto &entry : expected)
        EXPECT_EQ(table.text(entry.id), QString::fromUtf8(entry.text)) << entry.id;
}

} // namespace
