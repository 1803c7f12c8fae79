// Every exchange with the unit goes through the link scheduler: the station's sources call the
// link library only in the places listed below (sequence steps, the poll, start-up, the binding
// itself), and Reset MAX/MIN, wherever it is clicked, waits for a sequence under way instead of
// putting its request between two of the sequence's.
#include "FormMastering.h"
#include "FormSetupChan.h"
#include "SetupDialogFixture.h"

#include <QAbstractButton>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <functional>
#include <map>

namespace {

// One call of the link library in a source text: its line and the function called.
struct LinkCall {
    int line = 0;
    QString function;
};

// The calls of link library functions (`link.QorX(`, `->QorX(`) in a C++ text, comments left out.
std::vector<LinkCall> linkCalls(QString text) {
    // A comment keeps its line breaks, so the lines after it keep their numbers.
    static const QRegularExpression comment(QStringLiteral("//[^\\n]*|/\\*.*?\\*/"),
                                            QRegularExpression::DotMatchesEverythingOption);
    QString code;
    qsizetype at = 0;
    for (auto match = comment.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        code += text.mid(at, found.capturedStart() - at);
        code += QString(found.captured().count(u'\n'), u'\n');
        at = found.capturedEnd();
    }
    code += text.mid(at);
    static const QRegularExpression call(QStringLiteral("(?:\\.|->)\\s*(Qor\\w+)\\s*\\("));
    std::vector<LinkCall> calls;
    for (auto match = call.globalMatch(code); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        calls.push_back({static_cast<int>(code.left(found.capturedStart()).count(u'\n')) + 1,
                         found.captured(1)});
    }
    return calls;
}

// The places of app/ that may call the link library, with how many calls each holds and why
// they do not bypass the scheduler. A call added anywhere (also in one of these files) fails the
// check until it is shown to run in one of these ways and counted here.
struct AllowedPlace {
    const char *file;
    int calls;
    const char *why;
};

const AllowedPlace AllowedPlaces[] = {
    {"core/startup/Startup.cpp", 6, "start-up, before the scheduler runs"},
    {"core/connection/ConnectionTest.cpp", 4, "the connection wizard, before the station runs"},
    {"core/link/LinkErrorHandler.cpp", 1, "decodes the failed call's error text; no exchange"},
    {"core/link/LinkRecovery.cpp", 2, "the scheduler reopening the link between two exchanges"},
    {"core/poll/PollCycle.cpp", 3, "the steps of the poll's ticks"},
    {"core/state/MeasurementObjects.cpp", 26,
     "the measurement objects' properties, used by sequence steps and the poll"},
    {"core/setup/forms/SystemSetupApply.cpp", 3, "steps of the system setup's apply sequence"},
    {"setup/FormSetupSystem.cpp", 4, "steps of the system setup's reading sequence"},
    {"setup/FormSetupChan.cpp", 1, "the step of the channel setup's Reset MAX/MIN sequence"},
    {"procedures/AmpExchangeSteps.cpp", 12, "the calibration dialog's sequence steps"},
    {"procedures/ChannelCalls.cpp", 1, "the step of the Reset MAX/MIN sequence"},
    {"connection/AboutTexts.cpp", 1, "the firmware version, read in the About sequence's step"},
};

// The binding itself declares and resolves every function.
bool isLinkBinding(const QString &file) {
    return file.startsWith(QLatin1String("core/link/LinkLibrary."));
}

TEST(LinkCalls, AreFoundInCodeButNotInCommentsOrNames) {
    const struct {
        const char *proves;
        const char *text;
        std::vector<int> lines;
    } cases[] = {
        {"a click handler's direct call",
         "void F::CommandResetMM_Click() {\n    m_state.session.link.QorResetMM(h);\n}",
         {2}},
        {"a call through a pointer", "session->link.QorReadVersion(h, text);", {1}},
        {"blanks around the call", "link . QorStartScan (handle);", {1}},
        {"a call after a block comment", "/* one\ntwo */ x.QorOpen(info);", {2}},
        {"a call in a line comment", "// link.QorResetMM(h) is not sent here", {}},
        {"a call in a block comment", "/* link.QorResetMM(h) */", {}},
        {"a handler named like the product", "void AboutQorView_Click();", {}},
        {"a class of the station", "auto s = std::make_unique<QorSystem>(session);", {}},
        {"two calls on two lines",
         "a.QorReadChannel(h, 1, &v);\nb->QorReadLvdt(h, 1, &v);",
         {1, 2}},
    };
    for (const auto &c : cases) {
        std::vector<int> lines;
        for (const LinkCall &call : linkCalls(QString::fromLatin1(c.text)))
            lines.push_back(call.line);
        EXPECT_EQ(lines, c.lines) << c.proves;
    }
}

TEST(LinkCalls, OnlyTheAllowedPlacesCallTheLinkLibrary) {
    const QString app = QStringLiteral(QORVIEW_APP_DIR);
    std::map<QString, std::vector<LinkCall>> found;
    QDirIterator files(app, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString file = QDir(app).relativeFilePath(path);
        QFile source(path);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << path.toStdString();
        std::vector<LinkCall> calls = linkCalls(QString::fromUtf8(source.readAll()));
        if (!calls.empty() && !isLinkBinding(file))
            found[file] = std::move(calls);
    }
    ASSERT_FALSE(found.empty()) << "no source read from " << app.toStdString();

    for (const AllowedPlace &place : AllowedPlaces) {
        const auto calls = found.find(QLatin1String(place.file));
        const int count = calls == found.end() ? 0 : static_cast<int>(calls->second.size());
        EXPECT_EQ(count, place.calls)
            << place.file << " (" << place.why << "): a call was added or removed; a new call must "
            << "run in a sequence step, then be counted here";
        if (calls != found.end())
            found.erase(calls);
    }
    for (const auto &[file, calls] : found) {
        for (const LinkCall &call : calls)
            ADD_FAILURE() << file.toStdString() << ":" << call.line << " calls "
                          << call.function.toStdString()
                          << " outside the link scheduler: make it a step of a LinkSequence";
    }
}

// The main window over the demo unit, its poll stopped: the log holds the test's requests and
// what the clicks send.
class ResetMaxMinTest : public SetupDialogFixture {
protected:
    QString unitOptions() const override { return QStringLiteral("--preset demo"); }
};

TEST_F(ResetMaxMinTest, AClickWhileASequenceRunsIsSentAfterItsLastRequest) {
    const struct {
        const char *where;
        std::function<QAbstractButton *()> open;
    } places[] = {
        {"main window",
         [this] {
             return control<QAbstractButton>(control<QWidget>(window.get(), "FrameButtons"),
                                             "CommandResetMM");
         }},
        {"channel mastering",
         [this] {
             window->ZeroChannel_Click();
             return control<QAbstractButton>(window->dialogs().masteringDialog(), "CommandResetMM");
         }},
        {"channel setup",
         [this] {
             window->dialogs().showChannelSetup(1, false);
             return control<QAbstractButton>(window->dialogs().channelSetupDialog(),
                                             "CommandResetMM");
         }},
    };
    for (const auto &place : places) {
        QAbstractButton *reset = place.open();
        ASSERT_NE(reset, nullptr) << place.where;
        ASSERT_TRUE(idle());
        const qsizetype before = requests().size();
        LinkSequence reads(QStringLiteral("four channels"));
        for (int n = 1; n <= 4; ++n) {
            reads.add(QStringLiteral("channel %1").arg(n), [this, n, reset] {
                float value = 0;
                link.QorReadChannel(state.session.LinkHandle, n, &value);
                // The operator clicks while the sequence is half done.
                if (n == 2)
                    reset->click();
                return true;
            });
        }
        window->linkScheduler().run(std::move(reads));
        ASSERT_TRUE(idle());
        EXPECT_EQ(
            requestsSince(before),
            (QStringList{QStringLiteral("~C1 1"), QStringLiteral("~C1 2"), QStringLiteral("~C1 3"),
                         QStringLiteral("~C1 4"), QStringLiteral("~C9")}))
            << place.where;
    }
}

} // namespace
