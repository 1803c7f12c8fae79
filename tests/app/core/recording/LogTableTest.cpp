#include "LogTable.h"
#include "SampleParts.h"

#include <QDateTime>

#include <gtest/gtest.h>

using measurelog::PartRecord;
using measurelog::Verdict;

namespace recording {
namespace {

PartRecord partOf(const QString &setup) {
    PartRecord part;
    part.timeMs = 1796669672123;
    part.serialNumber = 41;
    part.serialText = QStringLiteral("LOT-7");
    part.setupFile = setup;
    part.operatorName = QStringLiteral("Ana");
    part.verdict = Verdict::Warn;
    measurelog::ValueRecord bore;
    bore.channel = 3;
    bore.value = 25.00149;
    bore.decimals = 3;
    bore.verdict = Verdict::Warn;
    measurelog::ValueRecord temperature;
    temperature.channel = 8;
    temperature.value = -0.0004;
    temperature.decimals = 2;
    temperature.verdict = Verdict::NoLimits;
    part.values = {bore, temperature};
    return part;
}

TEST(LogColumns, APartIsOneRowWithItsChannelsAsColumnsOfItsSetup) {
    const LogColumns columns(QStringLiteral("bore.qor"),
                             {{3, QStringLiteral("Bore")}, {5, {}}, {8, QStringLiteral("Temp")}});
    QStringList titles;
    for (int c = 0; c < columns.count(); ++c)
        titles << columns.at(c).title;
    EXPECT_EQ(titles, (QStringList{"Time", "No.", "Serial/lot", "Setup", "Operator", "Verdict",
                                   "ch3 Bore", "ch5", "ch8 Temp"}));

    const PartRecord part = partOf(QStringLiteral("bore.qor"));
    QStringList texts;
    for (int c = 0; c < columns.count(); ++c)
        texts << columns.text(part, c);
    const QString time =
        QDateTime::fromMSecsSinceEpoch(part.timeMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_EQ(texts,
              (QStringList{time, "41", "LOT-7", "bore.qor", "Ana", "warn", "25.001", "", "0.00"}))
        << "values rounded as shown, no sign on a zero, empty where the part has no value";
    EXPECT_EQ(columns.verdict(part, 5), Verdict::Warn) << "the verdict column";
    EXPECT_EQ(columns.verdict(part, 6), Verdict::Warn) << "a value's cell";
    EXPECT_EQ(columns.verdict(part, 7), std::nullopt) << "no value";
    EXPECT_EQ(columns.verdict(part, 8), Verdict::NoLimits);
    EXPECT_EQ(columns.verdict(part, 1), std::nullopt) << "a field";
}

TEST(LogColumns, AnotherSetupsPartShowsNoValuesUnderTheseChannels) {
    const LogColumns columns(QStringLiteral("bore.qor"), {{3, QStringLiteral("Bore")}});
    const PartRecord gear = partOf(QStringLiteral("gear.qor"));
    EXPECT_EQ(columns.text(gear, 6), QString());
    EXPECT_EQ(columns.verdict(gear, 6), std::nullopt);
    EXPECT_EQ(columns.text(gear, 3), QStringLiteral("gear.qor"));
    EXPECT_EQ(LogColumns().count(), 6) << "without a setup: the fields alone";
    EXPECT_EQ(LogColumns().text(partOf({}), 3), QStringLiteral("(no setup file)"));
}

TEST(LogColumns, APartsDetailHasEveryValueWithItsLimits) {
    const PartRecord part = measurelog::samplePart(3, 5, {}, true);
    ASSERT_EQ(detailHeader().size(), DetailColumnCount);
    const QStringList limited = detailRow(part.values[0]);
    ASSERT_EQ(limited.size(), DetailColumnCount);
    EXPECT_EQ(limited[0], QStringLiteral("1"));
    EXPECT_EQ(limited[3], QStringLiteral("10.000")) << "nominal with the channel's decimals";
    EXPECT_EQ(limited[4], QStringLiteral("9.990"));
    EXPECT_EQ(limited[5], QStringLiteral("9.992"));
    EXPECT_EQ(limited[6], QStringLiteral("10.008"));
    EXPECT_EQ(limited[7], QStringLiteral("10.010"));
    EXPECT_EQ(limited[8], measurelog::verdictName(part.values[0].verdict));
    const QStringList unlimited = detailRow(part.values[4]);
    EXPECT_EQ(unlimited.mid(3, 5), QStringList(5, QString())) << "a channel without limits";
    EXPECT_EQ(unlimited[8], QStringLiteral("no limits"));
}

TEST(LogColumns, TheVerdictChoicesFilterAsNamed) {
    const auto choices = verdictChoices();
    ASSERT_FALSE(choices.empty());
    EXPECT_TRUE(choices.front().verdicts.isEmpty()) << "all verdicts first";
    for (const VerdictChoice &choice : choices.subspan(1)) {
        for (Verdict verdict : measurelog::AllVerdicts) {
            const bool named =
                choice.label.contains(measurelog::verdictName(verdict), Qt::CaseInsensitive);
            EXPECT_EQ(choice.verdicts.contains(verdict), named)
                << choice.label.toStdString() << " / " << int(verdict);
        }
    }
}

} // namespace
} // namespace recording
