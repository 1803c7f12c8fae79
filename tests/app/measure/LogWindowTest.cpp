#include "LogWindow.h"
#include "LogModel.h"
#include "LogStore.h"
#include "MeasureTestSupport.h"
#include "PartDetailDialog.h"
#include "SampleParts.h"
#include "ScriptedPrompts.h"

#include <QBrush>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>

using measurelog::ExportForm;
using measurelog::PartRecord;

namespace {

// A known log: parts 1 to `count`, two setups taking turns (bore.qor with 4 channels, gear.qor
// with 6), fixed times and uuids.
class LogWindowTest : public MeasureFolder {
protected:
    void store(int count) {
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("log"))));
        std::vector<PartRecord> parts;
        for (int seed = 0; seed < count; ++seed) {
            const bool bore = seed % 2 == 0;
            parts.push_back(measurelog::samplePart(
                seed, bore ? 4 : 6, bore ? QStringLiteral("bore.qor") : QStringLiteral("gear.qor"),
                true));
        }
        measurelog::LogStore log(logPath());
        ASSERT_TRUE(log.open().isReady());
        for (const auto &outcome : log.record(parts))
            ASSERT_TRUE(outcome.committed);
    }
    QString cell(int row, int column) const {
        return m_window->model()
            ->data(m_window->model()->index(row, column), Qt::DisplayRole)
            .toString();
    }
    QString column(int column) const {
        QStringList cells;
        for (int row = 0; row < m_window->model()->rowCount(); ++row)
            cells << cell(row, column);
        return cells.join(QLatin1Char(','));
    }
    void open() {
        m_window = std::make_unique<LogWindow>(logPath(), m_prompts);
        m_window->setCurrentSetup(QStringLiteral("bore.qor"));
        ASSERT_TRUE(m_window->applyFilter());
    }
    void chooseSetup(const QString &setup) {
        m_window->setupChoice()->setCurrentIndex(m_window->setupChoice()->findData(setup));
    }

    ScriptedPrompts m_prompts;
    std::unique_ptr<LogWindow> m_window;
};

constexpr int SerialColumn = 1;
constexpr int SetupColumn = 3;
constexpr int VerdictColumn = 5;

TEST_F(LogWindowTest, ShowsNewestFirstWithTheCurrentSetupsChannelsAndFetchesLazily) {
    store(450);
    open();
    LogModel &model = *m_window->model();
    EXPECT_EQ(model.rowCount(), LogModel::PageSize) << "one page at first";
    EXPECT_EQ(cell(0, SerialColumn), QStringLiteral("450"));
    EXPECT_EQ(cell(1, SerialColumn), QStringLiteral("449"));
    ASSERT_EQ(model.columnCount(), 6 + 4) << "the fields, then bore.qor's four channels";
    EXPECT_EQ(model.headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("ch1 Ch 1"));
    EXPECT_EQ(model.headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("ch4 Bore \u00d8, top"));
    // Part 450 is a gear part: another setup's channel 1 measures something else.
    EXPECT_EQ(cell(0, 6), QString());
    EXPECT_FALSE(cell(1, 6).isEmpty());

    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 450);
    EXPECT_EQ(cell(449, SerialColumn), QStringLiteral("1"));
}

TEST_F(LogWindowTest, FiltersLetThroughExactlyTheMatchingParts) {
    store(60);
    open();
    struct Case {
        const char *legend;
        QString setup; // "" for all setups
        int verdictChoice;
        QString serial;
        QString sql; // the same parts, asked of the sqlite3 program
    };
    const Case cases[] = {
        {"one setup", QStringLiteral("gear.qor"), 0, {}, QStringLiteral("setup_file = 'gear.qor'")},
        {"rejects", {}, 3, {}, QStringLiteral("verdict = 3")},
        {"warn or reject of one setup",
         QStringLiteral("bore.qor"),
         4,
         {},
         QStringLiteral("setup_file = 'bore.qor' AND verdict IN (2, 3)")},
        {"a typed lot, any case",
         {},
         0,
         QStringLiteral("lot-3"),
         QStringLiteral("serial_text LIKE '%LOT-3%'")},
        {"an automatic serial",
         {},
         0,
         QStringLiteral("17"),
         QStringLiteral("serial_text LIKE '%17%' OR serial_number = 17")},
    };
    for (const Case &c : cases) {
        if (c.setup.isEmpty())
            m_window->setupChoice()->setCurrentIndex(0);
        else
            chooseSetup(c.setup);
        m_window->verdictChoice()->setCurrentIndex(c.verdictChoice);
        m_window->serialField()->setText(c.serial);
        ASSERT_TRUE(m_window->applyFilter()) << c.legend;
        const QString expected = sqliteCli(
            logPath(),
            QStringLiteral("SELECT group_concat(serial_number) FROM (SELECT serial_number FROM "
                           "parts WHERE %1 ORDER BY id DESC)")
                .arg(c.sql));
        EXPECT_FALSE(expected.isEmpty()) << c.legend << ": the case finds nothing";
        EXPECT_EQ(column(SerialColumn), expected) << c.legend;
    }
}

TEST_F(LogWindowTest, VerdictCellsAreColouredAndAWrongTimeIsSaidNotGuessed) {
    store(20);
    open();
    m_window->verdictChoice()->setCurrentIndex(3);
    ASSERT_TRUE(m_window->applyFilter());
    ASSERT_GT(m_window->model()->rowCount(), 0);
    const QVariant reject =
        m_window->model()->data(m_window->model()->index(0, VerdictColumn), Qt::BackgroundRole);
    EXPECT_TRUE(reject.canConvert<QBrush>());
    EXPECT_FALSE(m_window->model()
                     ->data(m_window->model()->index(0, SetupColumn), Qt::BackgroundRole)
                     .isValid());

    const int shown = m_window->model()->rowCount();
    m_window->sinceField()->setText(QStringLiteral("yesterday"));
    EXPECT_FALSE(m_window->applyFilter());
    EXPECT_TRUE(m_window->noticeText().contains(QLatin1String("yesterday")));
    EXPECT_EQ(m_window->model()->rowCount(), shown) << "the parts shown stay";
}

TEST_F(LogWindowTest, ATimeRangeKeepsThePartsWithinIt) {
    store(20);
    open();
    // Part n was recorded at 2026-12-07T18:54:32.123Z plus (n - 1) times 61.001 s.
    m_window->sinceField()->setText(QStringLiteral("2026-12-07T18:56:35Z"));
    m_window->untilField()->setText(QStringLiteral("2026-12-07T18:59:38Z"));
    ASSERT_TRUE(m_window->applyFilter());
    EXPECT_EQ(column(SerialColumn), QStringLiteral("6,5,4"));
}

TEST_F(LogWindowTest, ADoubleClickedPartShowsEveryValueWithItsLimits) {
    store(10);
    open();
    PartDetailDialog *detail = m_window->openDetail(1);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->windowTitle(), QStringLiteral("Part 9"));
    ASSERT_EQ(detail->values()->rowCount(), 4);
    EXPECT_EQ(detail->values()->item(3, 1)->text(), QStringLiteral("Bore \u00d8, top"));
    EXPECT_EQ(m_window->openDetail(10), nullptr) << "no such row";
}

TEST_F(LogWindowTest, TheFilteredPartsAreExportedByteForByte) {
    store(30);
    open();
    chooseSetup(QStringLiteral("bore.qor"));
    m_window->verdictChoice()->setCurrentIndex(4);
    ASSERT_TRUE(m_window->applyFilter());
    struct Case {
        ExportForm form;
        const char *expected;
    };
    for (const Case c : {Case{ExportForm::Wide, "bore-warn-reject-wide.csv"},
                         Case{ExportForm::Long, "bore-warn-reject-long.csv"}}) {
        const QString file = path(QStringLiteral("export.csv"));
        ASSERT_TRUE(m_window->exportTo(file, c.form)) << c.expected;
        EXPECT_EQ(contentsOf(file),
                  contentsOf(QStringLiteral(MEASURE_EXPECTED_DIR "/") + QLatin1String(c.expected)))
            << c.expected;
    }

    // A file that cannot be written: a box says why, and nothing is left behind.
    const QString unwritable = path(QStringLiteral("no/such/folder/export.csv"));
    EXPECT_FALSE(m_window->exportTo(unwritable, ExportForm::Wide));
    ASSERT_EQ(m_prompts.shown.size(), 1u);
    EXPECT_EQ(m_prompts.shown[0].icon, PromptIcon::Critical);
}

} // namespace
