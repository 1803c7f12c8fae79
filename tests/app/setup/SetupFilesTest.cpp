// The File menu's setup files in the running main window, against the stand-in unit with its
// exchange log: the exact requests of a load and of a save, what damaged files do (nothing), the
// question before New and Open, failed and cancelled saves, the file dialogs' folders, and
// setups that come back byte for byte through the unit.
#include "CommandLine.h"
#include "Existing.h"
#include "FormMain.h"
#include "QuietMainWindow.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "SetupFileStore.h"
#include "SetupFileWriter.h"
#include "SetupProgress.h"
#include "SimulatedUnit.h"
#include "StationHelp.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace setupfile;

namespace {

template <typename F> bool waitFor(F done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Three channels (two in use, one without a formula), two probes, two analog inputs and a group,
// with a probe count unlike the channel count. Every single has a short exact decimal form, so
// the unit's six decimals carry it unchanged; analog inputs keep the values the unit reads back
// for them (full scale 1, zero 0).
SetupDocument unequalCountsSetup() {
    SetupDocument setup;
    setup.station.channelCount = 3;
    setup.station.probeCount = 2;
    setup.station.analogCount = 2;
    setup.station.decimals = 4;
    for (size_t i = 0; i < setup.station.windowLayout.size(); ++i)
        setup.station.windowLayout[i] = static_cast<int16_t>(100 * i);
    ChannelRecord bore;
    bore.index = 1;
    bore.description = QStringLiteral("Bore diameter");
    bore.formula = QStringLiteral("P1");
    bore.decimals = 3;
    bore.units = QStringLiteral("mm");
    bore.master1 = 1.0f;
    bore.master2 = 2.0f;
    bore.useTwoMasters = true;
    bore.hiTol = 0.5f;
    bore.hiAppr = 0.25f;
    bore.loAppr = -0.25f;
    bore.loTol = -0.5f;
    bore.scaling = 2.0f;
    bore.zeroOffset = 0.125f;
    bore.barDisplayTop = 1.0f;
    bore.barDisplayBot = -1.0f;
    ChannelRecord spare;
    spare.index = 3;
    spare.description = QStringLiteral("Spare");
    setup.channels = {bore, spare};
    setup.probes = {{1, QStringLiteral("Left"), 0.05f, 0.001f},
                    {2, QStringLiteral("Right"), 0.1f, -0.002f}};
    setup.analogs = {{1, QStringLiteral("Analog  1"), 1.0f, 0.0f},
                     {2, QStringLiteral("Pressure"), 1.0f, 0.0f}};
    GroupRecord both;
    both.index = 1;
    both.description = QStringLiteral("Both");
    both.channels = {1, 3};
    both.windowGridTop = 11;
    both.windowDialWidth = 22;
    setup.groups = {both};
    return setup;
}

// The main window over the stand-in unit (8 channels, 8 probes, 1 analog input after start-up),
// its displays closed and its poll stopped, so the log holds only what the File menu sends.
class SetupFilesTest : public ::testing::Test, public QuietMainWindow {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(openQuietly(QStringLiteral("--preset empty"), &why)) << why.toStdString();
    }

    SetupFileCommands &files() { return window->setupFiles(); }
    bool idle() {
        return waitFor([this] { return !files().busy(); });
    }
    QString setupsFolder() const {
        return QDir(documentsFolder()).filePath(QStringLiteral("QorView"));
    }

    // Opens `path` through File > Open and waits for the load to end.
    void open(const QString &path) {
        prompts.fileNames.push_back(path);
        action("OpenFile")->trigger();
        ASSERT_TRUE(idle());
    }
    // Saves through File > Save As under `path`.
    void saveAs(const QString &path) {
        prompts.fileNames.push_back(path);
        action("SaveAsFile")->trigger();
        ASSERT_TRUE(idle());
    }
    QString written(const QString &name, const QByteArray &bytes) {
        const QString path = tempPath(name);
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
    std::vector<QString> boxTexts() const {
        std::vector<QString> texts;
        for (const auto &box : prompts.shown)
            texts.push_back(box.text);
        return texts;
    }
};

// What a reader that assigns every value as soon as it has read it sends for unequalCountsSetup,
// from 8 channels, 8 probes and 1 analog input: updating off and ClearSetup, then the file.
const QStringList LoadRequests = {
    // ClearSetup: the counts in force, the analog input's zero and full scale
    "~YE 8", "~YE 8", "~C7", "~C7",
    // MaxChannel= 3: resizing the set, then the item itself
    "~YE 3", "~YE 3",
    // MaxLVDT= 2, twice, each followed by the channel count the probe count line overwrote
    "~YE 2", "~YE 3", "~YE 2", "~YE 3",
    // MaxAnalog= 2: the new input's zero and full scale
    "~C7", "~C7",
    // [Channel] 1: description, formula, masters, flag, limits, scale, zero, bar scale
    "~CM 1 Bore diameter", "~C4 1 P1", "~CG 1 1.000000", "~CH 1 2.000000", "~CI 1 1",
    "~CQ 1 0.500000", "~CP 1 0.250000", "~CS 1 -0.250000", "~CR 1 -0.500000", "~CC 1 2.000000",
    "~CB 1 0.125000", "~CO 1 1.000000", "~CY 1 -1.000000",
    // [Channel] 3: no formula clears the channel
    "~CM 3 Spare", "~C6 3", "~CG 3 0.000000", "~CH 3 0.000000", "~CI 3 0", "~CQ 3 0.000000",
    "~CP 3 0.000000", "~CS 3 0.000000", "~CR 3 0.000000", "~CC 3 1.000000", "~CB 3 0.000000",
    "~CO 3 0.000000", "~CY 3 0.000000",
    // [lvdt] 1 and 2: full scale, zero
    "~PC 1 0.050000", "~PB 1 0.001000", "~PC 2 0.100000", "~PB 2 -0.002000",
    // [Analog] 1 and 2 (the protocol has one line for every analog request)
    "~C7", "~C7", "~C7", "~C7"};

// What the writer reads for the same setup: the counts are known, then each channel in use,
// each probe, each analog input.
const QStringList SaveRequests = {"~CN 1", "~CF 1", "~CJ 1", "~CK 1", "~CL 1", "~CV 1", "~CU 1",
                                  "~CX 1", "~CW 1", "~CE 1", "~CD 1", "~CT 1", "~CZ 1", "~CN 3",
                                  "~CF 3", "~CJ 3", "~CK 3", "~CL 3", "~CV 3", "~CU 3", "~CX 3",
                                  "~CW 3", "~CE 3", "~CD 3", "~CT 3", "~CZ 3", "~PE 1", "~PD 1",
                                  "~PE 2", "~PD 2", "~C7",   "~C7",   "~C7",   "~C7"};

TEST_F(SetupFilesTest, ALoadSendsTheReadersRequestsInFileOrderAndNothingElse) {
    const QString path = written(QStringLiteral("unequal.qor"), writeSetup(unequalCountsSetup()));
    state.setup.SetupChanged = true;
    prompts.answers = {PromptAnswer::No}; // to "Save changes"
    // Polling on: no poll request may fall inside the load.
    window->linkScheduler().startPolling();
    const qsizetype before = requests().size();
    open(path);
    window->linkScheduler().stopPolling();

    const QStringList sent = requests().mid(before);
    const qsizetype first = sent.indexOf(LoadRequests.first());
    ASSERT_GE(first, 0) << sent.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(sent.mid(first, LoadRequests.size()), LoadRequests);
    EXPECT_EQ(prompts.shown.size(), 1u) << "the question only";

    // The station holds what the file says.
    EXPECT_EQ(state.unit.UnitSystem->MaxChannel(), 3);
    EXPECT_EQ(state.unit.UnitSystem->MaxLvdt(), 2);
    EXPECT_EQ(state.unit.MaxAnalog, 2);
    EXPECT_EQ(state.unit.SystemDecimals, 4);
    EXPECT_EQ(state.view.WindowLayout[35], 3500);
    ASSERT_EQ(state.unit.Channels.size(), 3u);
    EXPECT_TRUE(existing(state.unit.channel(1)).InUse);
    EXPECT_FALSE(existing(state.unit.channel(2)).InUse);
    EXPECT_EQ(existing(state.unit.channel(1)).Units, QStringLiteral("mm"));
    EXPECT_EQ(existing(state.unit.channel(1)).Decimals, 3);
    EXPECT_EQ(existing(state.unit.lvdt(2)).Description, QStringLiteral("Right"));
    EXPECT_EQ(existing(state.unit.analogInput(2)).Description, QStringLiteral("Pressure"));
    ASSERT_EQ(state.unit.groupCount(), 1);
    EXPECT_EQ(existing(state.unit.groupAt(1)).GetChannel(2), 3);
    EXPECT_EQ(existing(state.unit.groupAt(1)).WindowDialWidth, 22);
    EXPECT_EQ(window->labelChanCount(), 4) << "LabelChan(0) and one label a channel";
    EXPECT_EQ(state.setup.SetupFileName, path);
    EXPECT_FALSE(state.setup.SetupChanged);
    EXPECT_TRUE(state.view.UpdatesOn) << "as View > Update is checked";
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Qor Instruments   QOR-128 [") + path + "]");
    EXPECT_TRUE(action("SaveFile")->isEnabled());
}

TEST_F(SetupFilesTest, ASaveReadsWhatTheWriterReadsInItsOrderAndWritesTheSetup) {
    const SetupDocument setup = unequalCountsSetup();
    open(written(QStringLiteral("unequal.qor"), writeSetup(setup)));
    state.setup.SetupChanged = true;
    const QString copy = tempPath(QStringLiteral("copy.qor"));
    const qsizetype before = requests().size();
    saveAs(copy);

    EXPECT_EQ(requests().mid(before), SaveRequests);
    EXPECT_EQ(fileBytes(copy), writeSetup(setup));
    EXPECT_FALSE(state.setup.SetupChanged);
    EXPECT_EQ(state.setup.SetupFileName, copy);
    EXPECT_EQ(boxTexts(), (std::vector<QString>{
                              QStringLiteral("QOR-128 Setup information (channels, probes and "
                                             "groups) is being saved in: ") +
                              copy}));
}

TEST_F(SetupFilesTest, TheExampleSetupsComeBackByteForByteThroughTheUnit) {
    for (const char *example : {"demo.qor", "32-channels.qor"}) {
        const QString original = QDir(QStringLiteral(QORVIEW_EXAMPLES_DIR)).filePath(example);
        open(original);
        const QString copy = tempPath(QStringLiteral("copy-") + QLatin1String(example));
        saveAs(copy);
        EXPECT_EQ(fileBytes(copy), fileBytes(original)) << example;
    }
}

struct DamageCase {
    const char *legend;
    QByteArray bytes; // empty: no file at all
    int line;         // 0: the file as a whole
    const char *why;
};

TEST_F(SetupFilesTest, AFileThatCannotBeLoadedChangesNothingAndSaysWhereAndWhy) {
    const std::string header = "[QORVIEW Version 6.0]\r\n";
    QByteArray hugeLine = QByteArray::fromStdString(header) + "[lvdt]\r\n 1 \r\n";
    hugeLine.append(10 * 1024 * 1024, 'x');
    QByteArray junk = QByteArray::fromStdString(header);
    junk.append("\x7f\x45\x4c\x46\x02\x01\x01\x00\r\n", 10);
    QByteArray truncated = writeSetup(unequalCountsSetup());
    truncated.truncate(truncated.indexOf("[End Channel]"));
    const DamageCase cases[] = {
        {"a record cut short", truncated, 72,
         "Line 72: the file ends inside the [Channel] record that begins on line 55."},
        {"a channel past the count",
         QByteArray::fromStdString(header + "[General Setup]\r\nMaxChannel= 2 \r\n[End Section]"
                                            "\r\n[Channel]\r\n 3 \r\n"),
         6, "Line 6 \" 3 \": there is no channel 3 (the channel count is 2)."},
        {"a word where a number belongs",
         QByteArray::fromStdString(header + "[lvdt]\r\n 1 \r\nLeft\r\nwide\r\n"), 5,
         "Line 5 \"wide\": expected a number."},
        {"binary junk", junk, 2, ": the line is not text: it holds the control character 0x7f."},
        {"a 10 MB line", hugeLine, 4, "…\": the line is longer than"},
        {"a count the unit cannot take",
         QByteArray::fromStdString(header + "[General Setup]\r\nMaxLVDT= 4 \r\nMaxChannel= 200 "
                                            "\r\n"),
         4, "Line 4 \"MaxChannel= 200 \": the unit takes 1 to 128 channels."},
        // Texts bound for the unit: refused as Channel Setup refuses them, before the clear.
        {"a ~ in a channel description would run a second request",
         QByteArray::fromStdString(header + "[Channel]\r\n 1 \r\nBore~C6 2\r\n"), 4,
         "Line 4 \"Bore~C6 2\": the description of channel 1 cannot hold the character \"~\""},
        {"a formula longer than a request line carries",
         QByteArray::fromStdString(header + "[Channel]\r\n 1 \r\nBore\r\n" + std::string(247, '1') +
                                   "\r\n"),
         5, ": the formula of channel 1 is 247 characters long; the unit takes at most 246"},
        {"a description saved as UTF-8 with a character outside Latin-1",
         QByteArray::fromStdString(header + "[Channel]\r\n 1 \r\n\xe2\x82\xac price\r\n"), 4,
         ": the description of channel 1 cannot hold the code 0x82: it is no Latin-1"},
        {"no such file", {}, 0, " file not found."},
    };
    state.setup.SetupFileName = QStringLiteral("kept.qor");
    state.setup.SetupChanged = true;
    state.live.MasteringChannel = 8;
    const QString caption = window->windowTitle();
    for (const DamageCase &c : cases) {
        const QString path = tempPath(QStringLiteral("damaged.qor"));
        QFile::remove(path);
        if (!c.bytes.isEmpty()) {
            ASSERT_TRUE(writeBytes(path, c.bytes));
        }
        prompts.shown.clear();
        prompts.answers = {PromptAnswer::No}; // to "Save changes"
        const qsizetype before = requests().size();
        open(path);

        EXPECT_EQ(requests().size(), before) << c.legend << ": nothing was sent";
        ASSERT_EQ(prompts.shown.size(), 2u) << c.legend;
        const QString text = prompts.shown[1].text;
        if (c.line == 0) {
            EXPECT_EQ(text, path + QString::fromUtf8(c.why)) << c.legend;
        } else {
            EXPECT_TRUE(
                text.startsWith(path + QStringLiteral(" cannot be loaded:\rLine %1").arg(c.line)))
                << c.legend << ": " << text.toStdString();
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.why)))
                << c.legend << ": " << text.toStdString();
            EXPECT_TRUE(text.endsWith(QStringLiteral("\rNothing has been changed."))) << c.legend;
        }
        EXPECT_EQ(prompts.shown[1].icon, PromptIcon::Critical) << c.legend;
        EXPECT_EQ(state.setup.SetupFileName, QStringLiteral("kept.qor")) << c.legend;
        EXPECT_TRUE(state.setup.SetupChanged) << c.legend;
        EXPECT_EQ(state.unit.Channels.size(), 8u) << c.legend;
        EXPECT_EQ(state.live.MasteringChannel, 8) << c.legend;
        EXPECT_EQ(window->windowTitle(), caption) << c.legend;
        EXPECT_FALSE(action("SaveFile")->isEnabled()) << c.legend;
        EXPECT_EQ(fileBytes(path), c.bytes) << c.legend;
    }
}

struct QuestionCase {
    const char *legend;
    const char *command; // NewFile or OpenFile
    bool changed;
    PromptAnswer answer;
    QStringList fileNames; // what the file dialogs return, in order
    bool goesOn;
    bool saved;
    bool changedAfter; // New leaves SetupChanged as it was; a load clears it
};

TEST_F(SetupFilesTest, NewAndOpenAskBeforeThrowingAChangedSetupAway) {
    const QString other = written(QStringLiteral("other.qor"), writeSetup(unequalCountsSetup()));
    const QString saved = tempPath(QStringLiteral("saved.qor"));
    const QuestionCase cases[] = {
        {"an unchanged setup is not asked about",
         "NewFile",
         false,
         PromptAnswer::Ok,
         {},
         true,
         false,
         false},
        {"Cancel keeps everything", "NewFile", true, PromptAnswer::Cancel, {}, false, false, true},
        {"No throws the changes away", "NewFile", true, PromptAnswer::No, {}, true, false, true},
        {"Yes saves under the chosen name, then opens",
         "OpenFile",
         true,
         PromptAnswer::Yes,
         {saved, other},
         true,
         true,
         false},
        {"Yes with Save As cancelled keeps everything",
         "OpenFile",
         true,
         PromptAnswer::Yes,
         {},
         false,
         false,
         true},
        {"No opens without saving",
         "OpenFile",
         true,
         PromptAnswer::No,
         {other},
         true,
         false,
         false},
    };
    for (const QuestionCase &c : cases) {
        QFile::remove(saved);
        state.setup.SetupFileName = QStringLiteral("kept.qor");
        state.setup.SetupChanged = c.changed;
        prompts.shown.clear();
        prompts.answers = {c.answer};
        prompts.fileNames = {c.fileNames.begin(), c.fileNames.end()};
        action(c.command)->trigger();
        ASSERT_TRUE(waitFor([&] { return !files().busy() && prompts.fileNames.empty(); }))
            << c.legend;
        ASSERT_TRUE(idle());

        const bool asked = !prompts.shown.empty() &&
                           prompts.shown.front().text == QStringLiteral("Setup has been modified\r"
                                                                        "Save changes");
        EXPECT_EQ(asked, c.changed) << c.legend;
        if (asked) {
            EXPECT_EQ(prompts.shown.front().buttons, PromptButtons::YesNoCancel) << c.legend;
            EXPECT_EQ(prompts.shown.front().icon, PromptIcon::Question) << c.legend;
        }
        EXPECT_EQ(QFileInfo::exists(saved), c.saved) << c.legend;
        EXPECT_EQ(state.setup.SetupFileName != QStringLiteral("kept.qor") &&
                      state.setup.SetupFileName != saved,
                  c.goesOn)
            << c.legend << ": " << state.setup.SetupFileName.toStdString();
        EXPECT_EQ(state.setup.SetupChanged, c.changedAfter) << c.legend;
    }
}

TEST_F(SetupFilesTest, AFailedOrCancelledSaveLeavesTheOldFileAndSaysWhy) {
    open(written(QStringLiteral("unequal.qor"), writeSetup(unequalCountsSetup())));
    const QString target = written(QStringLiteral("target.qor"), "the old setup\r\n");
    state.setup.SetupFileName = target;
    state.setup.SetupChanged = true;

    // A read the unit refuses: it has been told to run one channel meanwhile.
    prompts.shown.clear();
    action("SaveFile")->trigger();
    link.QorSetNumberOfChannels(state.session.LinkHandle, 1);
    ASSERT_TRUE(idle());
    ASSERT_TRUE(waitFor([&] { return prompts.shown.size() >= 3; }));
    EXPECT_EQ(prompts.shown[2].text,
              target + QStringLiteral(" was not saved: a read from the unit failed (Channel 3: "
                                      "description).\rThe file is as it was."));
    EXPECT_EQ(prompts.shown[2].icon, PromptIcon::Critical);
    EXPECT_EQ(fileBytes(target), QByteArray("the old setup\r\n"));
    EXPECT_TRUE(state.setup.SetupChanged);
    link.QorSetNumberOfChannels(state.session.LinkHandle, 3);

    // Cancelled in the progress window before the reads are through.
    prompts.shown.clear();
    action("SaveFile")->trigger();
    ASSERT_NE(files().progress(), nullptr);
    auto *cancel = files().progress()->findChild<QPushButton *>();
    ASSERT_NE(cancel, nullptr) << "a save may be cancelled";
    cancel->click();
    ASSERT_TRUE(idle());
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.shown.size(), 1u) << "the saving notice only";
    EXPECT_EQ(fileBytes(target), QByteArray("the old setup\r\n"));
    EXPECT_TRUE(state.setup.SetupChanged);

    // A file that cannot be written: a folder stands where it would go.
    const QString folder = tempPath(QStringLiteral("folder.qor"));
    ASSERT_TRUE(QDir().mkpath(folder));
    prompts.shown.clear();
    saveAs(folder);
    ASSERT_TRUE(waitFor([&] { return prompts.shown.size() >= 2; }));
    EXPECT_TRUE(prompts.shown[1].text.startsWith(folder + QStringLiteral(" cannot be created")))
        << prompts.shown[1].text.toStdString();
    EXPECT_EQ(state.setup.SetupFileName, target) << "Save As keeps the old name";
    EXPECT_TRUE(state.setup.SetupChanged);
}

TEST_F(SetupFilesTest, FileDialogsOpenInTheSetupsFolderThenWhereTheLastFileWas) {
    const QString elsewhere = tempPath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString setup = QDir(elsewhere).filePath(QStringLiteral("line3.qor"));
    ASSERT_TRUE(writeBytes(setup, writeSetup(unequalCountsSetup())));

    open(setup);
    prompts.fileNames.push_back(QDir(elsewhere).filePath(QStringLiteral("line4")));
    action("SaveAsFile")->trigger();
    ASSERT_TRUE(idle());

    ASSERT_EQ(prompts.fileDialogs.size(), 2u);
    EXPECT_EQ(prompts.fileDialogs[0].title, QStringLiteral("Open"));
    EXPECT_EQ(prompts.fileDialogs[0].folder, setupsFolder());
    EXPECT_EQ(prompts.fileDialogs[0].filter, QStringLiteral("QOR Setups (*.qor);;All (*.*)"));
    EXPECT_TRUE(QFileInfo(setupsFolder()).isDir()) << "made on first use";
    EXPECT_EQ(prompts.fileDialogs[1].title, QStringLiteral("Save As"));
    EXPECT_EQ(prompts.fileDialogs[1].folder, elsewhere);
    EXPECT_EQ(prompts.fileDialogs[1].suggestedName, setup);
    EXPECT_EQ(prompts.fileDialogs[1].filter, QStringLiteral("Qor Setups (*.qor);;All (*.*)"));
    EXPECT_EQ(state.setup.SetupFileName, setup.left(setup.size() - 5) + "4.qor")
        << "the default extension is added";
}

TEST_F(SetupFilesTest, StoreKeepsTheSetupInTheUnitUnderDefault) {
    const qsizetype before = requests().size();
    action("SaveToQor")->trigger();
    ASSERT_TRUE(idle());
    EXPECT_EQ(boxTexts(), (std::vector<QString>{
                              QStringLiteral("QOR-128 System information is being stored. ")}));
    EXPECT_EQ(requests().mid(before), (QStringList{"~Sv default"}));
}

TEST_F(SetupFilesTest, ALongLoadShowsItsProgressWithoutCancel) {
    const QString example =
        QDir(QStringLiteral(QORVIEW_EXAMPLES_DIR)).filePath(QStringLiteral("32-channels.qor"));
    // Each reply a little late, so the load lasts well over half a second.
    qputenv("QORSIM_OPTIONS", "--preset empty --delay-ms 3");
    link.QorClose(state.session.LinkHandle);
    state.session.LinkHandle = link.QorOpen(state.session.LinkInfo);
    ASSERT_NE(state.session.LinkHandle, nullptr);

    prompts.fileNames.push_back(example);
    action("OpenFile")->trigger();
    QString label;
    bool cancelShown = true;
    ASSERT_TRUE(waitFor([&] {
        SetupProgress *progress = files().progress();
        if (progress && progress->isVisible()) {
            label = progress->labelText();
            cancelShown = progress->findChild<QPushButton *>() != nullptr;
        }
        return !label.isEmpty() || !files().busy();
    }));
    EXPECT_TRUE(label.startsWith(QStringLiteral("Loading ") + example + QStringLiteral("\n")))
        << label.toStdString();
    EXPECT_FALSE(cancelShown);
    EXPECT_FALSE(action("OpenFile")->isEnabled()) << "file commands wait for the load";
    ASSERT_TRUE(idle());
    EXPECT_TRUE(action("OpenFile")->isEnabled());
    EXPECT_EQ(state.unit.UnitSystem->MaxChannel(), 32);
}

} // namespace
