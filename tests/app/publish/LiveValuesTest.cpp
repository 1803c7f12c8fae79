// The station's live values on the session bus, against the stand-in unit: clients on
// connections of their own (as other programs are), and client processes that leave or are
// killed while they follow values.

#include "CommandLine.h"
#include "FormMain.h"
#include "LiveItems.h"
#include "LiveValueService.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "display1proxy.h"
#include "propertiesproxy.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int WaitMs = 10000;

const QString ServiceName = QLatin1String(LiveItems::ServiceName);
const QString ObjectPath = QLatin1String(LiveItems::ObjectPath);
const QString InterfaceName = QLatin1String(LiveItems::InterfaceName);
const QString UnknownItem = QLatin1String(LiveItems::UnknownItemError);
const QString LinksQuestion = QStringLiteral(
    "Other applications are using this applicationDo you really want to exit the application?");

// Waits for the service's answer while the station goes on serving (it runs in this thread).
template <typename Reply> Reply answered(Reply reply) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return reply.isFinished(); }, WaitMs)) << "no answer";
    return reply;
}

// Another program on the bus: a connection of its own with typed proxies. It remembers the
// Changed signals ("item=value") and the Conversations counts it was told of.
class Client {
public:
    explicit Client(const QString &name)
        : m_name(name),
          m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {
        display.emplace(ServiceName, ObjectPath, m_connection);
        properties.emplace(ServiceName, ObjectPath, m_connection);
        QObject::connect(&*display, &OrgQorviewDisplay1Interface::Changed, &*display,
                         [this](const QString &item, const QString &value) {
                             changes << item + QLatin1Char('=') + value;
                         });
        QObject::connect(
            &*properties, &OrgFreedesktopDBusPropertiesInterface::PropertiesChanged, &*properties,
            [this](const QString &interfaceName, const QVariantMap &changed, const QStringList &) {
                if (interfaceName == InterfaceName &&
                    changed.contains(QStringLiteral("Conversations")))
                    counts << changed.value(QStringLiteral("Conversations")).toInt();
            });
    }
    ~Client() { leave(); }
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    // Closes the connection without unadvising anything, as a program that ends does.
    void leave() {
        display.reset();
        properties.reset();
        m_connection = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(m_name);
    }

    QDBusPendingCall call(const std::function<QDBusPendingCall(OrgQorviewDisplay1Interface &)> &f) {
        return answered(f(*display));
    }
    QString request(int channel) {
        return answered(display->Request(LiveItems::itemName(channel))).value();
    }
    bool advise(int channel) {
        return !answered(display->Advise(LiveItems::itemName(channel))).isError();
    }
    bool unadvise(int channel) {
        return !answered(display->Unadvise(LiveItems::itemName(channel))).isError();
    }
    int conversations() {
        return answered(properties->Get(InterfaceName, QStringLiteral("Conversations")))
            .value()
            .variant()
            .toInt();
    }
    // Every signal the service sent before now has arrived: the service answers this call
    // after them, on the same connection.
    void sync() {
        answered(display->Items());
        QCoreApplication::processEvents();
    }
    QStringList takeChanges() {
        sync();
        return std::exchange(changes, {});
    }

    std::optional<OrgQorviewDisplay1Interface> display;
    std::optional<OrgFreedesktopDBusPropertiesInterface> properties;
    QStringList changes;
    QList<int> counts;

private:
    QString m_name;
    QDBusConnection m_connection;
};

// The station with eight channels that read n + 0.25 (channel 2 reads -2.5) until a test changes
// a formula, published on the session bus. Ticks run only when a test asks.
class LiveValuesTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset empty --channels-max 16"), &why))
            << qPrintable(why);
        for (int n = 1; n <= 8; ++n)
            state.unit.channel(n)->setFormula(n == 2 ? QStringLiteral("0-2.5")
                                                     : QStringLiteral("%1.25").arg(n));
        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
        service = std::make_unique<LiveValueService>(state.live, window->liveItems());
        QObject::connect(window.get(), &FormMain::channelCaptionChanged, service.get(),
                         &LiveValueService::channelTextChanged);
        ASSERT_TRUE(service->publish(QDBusConnection::sessionBus(), &why)) << qPrintable(why);
        ASSERT_TRUE(prompts.shown.empty());
    }

    void tick() { ASSERT_TRUE(window->Timer1_Timer()); }
    void setFormula(int channel, const QString &formula) {
        state.unit.channel(channel)->setFormula(formula);
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
    std::unique_ptr<LiveValueService> service;
};

TEST_F(LiveValuesTest, RequestGivesTheCaptionThePollWrote) {
    Client client(QStringLiteral("client"));
    EXPECT_EQ(client.request(1), QString()) << "nothing read yet";
    tick();
    EXPECT_EQ(client.request(1), QStringLiteral(" 1.25000"));
    EXPECT_EQ(client.request(2), QStringLiteral("-2.50000"));
    EXPECT_EQ(client.request(8), window->labelChanCaption(8));
    EXPECT_EQ(state.live.DdeLinkCount, 0) << "a request opens no conversation";
}

TEST_F(LiveValuesTest, UnknownItemsAreRefusedByName) {
    const struct {
        const char *legend;
        QString item;
    } cases[] = {
        {"channel 0", QStringLiteral("labelChan(0)")},
        {"beyond the channel count", QStringLiteral("labelChan(9)")},
        {"a leading zero", QStringLiteral("labelChan(01)")},
        {"a sign", QStringLiteral("labelChan(+1)")},
        {"another spelling", QStringLiteral("LabelChan(1)")},
        {"no closing bracket", QStringLiteral("labelChan(1")},
        {"text after the bracket", QStringLiteral("labelChan(1) ")},
        {"a number no count reaches", QStringLiteral("labelChan(99999999999)")},
        {"an empty name", QString()},
    };
    Client client(QStringLiteral("client"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        for (const QDBusPendingCall &reply :
             {client.call([&](auto &d) { return d.Request(c.item); }),
              client.call([&](auto &d) { return d.Advise(c.item); }),
              client.call([&](auto &d) { return d.Unadvise(c.item); })}) {
            ASSERT_TRUE(reply.isError());
            EXPECT_EQ(reply.error().name(), UnknownItem);
            EXPECT_TRUE(reply.error().message().contains(c.item))
                << qPrintable(reply.error().message());
        }
    }
    EXPECT_EQ(state.live.DdeLinkCount, 0);
}

TEST_F(LiveValuesTest, ChangedComesOnceForEachChangeOfAnAdvisedItem) {
    Client client(QStringLiteral("client"));
    ASSERT_TRUE(client.advise(3));
    tick();
    EXPECT_EQ(client.takeChanges(), QStringList{"labelChan(3)= 3.25000"});

    tick();
    setFormula(4, QStringLiteral("9"));
    tick();
    EXPECT_EQ(client.takeChanges(), QStringList()) << "channel 3 stayed, channel 4 is not advised";

    setFormula(3, QStringLiteral("7"));
    tick();
    tick();
    EXPECT_EQ(client.takeChanges(), QStringList{"labelChan(3)= 7.00000"});

    window->UpdateMainDisplay();
    tick();
    EXPECT_EQ(client.takeChanges(), QStringList())
        << "after a view change the labels are written again with the same captions";

    // Outside the channel view the labels have a loop of their own.
    window->ViewLVDTs_Click();
    setFormula(3, QStringLiteral("8"));
    tick();
    EXPECT_EQ(client.takeChanges(), QStringList{"labelChan(3)= 8.00000"});
    EXPECT_EQ(service->changedSignalsSent(), 3);
}

TEST_F(LiveValuesTest, NothingIsSentWhileUpdateIsOffOrTheRefreshIsHeld) {
    const struct {
        const char *legend;
        std::function<void()> brake;
        std::function<void()> release;
    } cases[] = {
        {"View > Update unchecked", [this] { window->UpdateToggle_Click(); },
         [this] {
             window->UpdateToggle_Click();
         }},
        {"a dialog holds the list refresh", [this] { state.view.PollHold.holdUntilRefresh(); },
         [this] {
             window->UpdateMainDisplay();
         }},
    };
    Client client(QStringLiteral("client"));
    ASSERT_TRUE(client.advise(1));
    tick();
    client.takeChanges();
    int formula = 5;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        c.brake();
        setFormula(1, QString::number(++formula));
        tick();
        EXPECT_EQ(client.takeChanges(), QStringList());
        c.release();
        tick();
        EXPECT_EQ(client.takeChanges(),
                  QStringList{QStringLiteral("labelChan(1)= %1.00000").arg(formula)});
    }
}

TEST_F(LiveValuesTest, ConversationsCountClientsWithAdvisedItems) {
    Client watcher(QStringLiteral("watcher"));
    Client a(QStringLiteral("a"));
    Client b(QStringLiteral("b"));
    const struct {
        const char *legend;
        std::function<void()> act;
        int count;
    } steps[] = {
        {"a request opens none", [&] { a.request(1); }, 0},
        {"a advises an item", [&] { EXPECT_TRUE(a.advise(1)); }, 1},
        {"a advises a second item", [&] { EXPECT_TRUE(a.advise(2)); }, 1},
        {"b advises the same item", [&] { EXPECT_TRUE(b.advise(1)); }, 2},
        {"a advises an item again", [&] { EXPECT_TRUE(a.advise(1)); }, 2},
        {"a unadvises one of two", [&] { EXPECT_TRUE(a.unadvise(1)); }, 2},
        {"a unadvises its last", [&] { EXPECT_TRUE(a.unadvise(2)); }, 1},
        {"a unadvises it again", [&] { EXPECT_TRUE(a.unadvise(2)); }, 1},
        {"a unadvises what it never advised", [&] { EXPECT_TRUE(a.unadvise(5)); }, 1},
        {"b leaves the bus without unadvising",
         [&] {
             b.leave();
             EXPECT_TRUE(QTest::qWaitFor([&] { return state.live.DdeLinkCount == 0; }, WaitMs));
         },
         0},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.legend);
        step.act();
        EXPECT_EQ(state.live.DdeLinkCount, step.count);
        EXPECT_EQ(watcher.conversations(), step.count);
    }
    watcher.sync();
    EXPECT_EQ(watcher.counts, (QList<int>{1, 2, 1, 0})) << "PropertiesChanged at every change";
}

TEST_F(LiveValuesTest, AClientProcessThatGoesAwayEndsItsConversation) {
    const struct {
        const char *legend;
        bool killed;
    } cases[] = {{"it ends without unadvising", false}, {"it is killed", true}};
    int reading = 10;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        QProcess client;
        client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client.start(QStringLiteral(QORVIEW_TEST_LIVE_CLIENT),
                     {QStringLiteral("labelChan(1)"), QStringLiteral("labelChan(2)")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return client.canReadLine(); }, WaitMs));
        ASSERT_EQ(client.readLine(), "advised\n");
        EXPECT_EQ(state.live.DdeLinkCount, 1);

        prompts.answers = {PromptAnswer::No};
        EXPECT_FALSE(window->close()) << "the exit question keeps the station for its followers";
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown.back().text, LinksQuestion);

        const long sentBefore = service->changedSignalsSent();
        setFormula(1, QString::number(++reading));
        setFormula(2, QString::number(++reading));
        tick();
        const long sent = service->changedSignalsSent() - sentBefore;
        EXPECT_EQ(sent, 2);
        if (c.killed) {
            client.kill();
        } else {
            client.closeWriteChannel();
            ASSERT_TRUE(QTest::qWaitFor([&] { return client.canReadLine(); }, WaitMs));
            EXPECT_EQ(client.readLine(), QStringLiteral("received %1\n").arg(sent).toUtf8());
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return state.live.DdeLinkCount == 0; }, WaitMs));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return client.state() == QProcess::NotRunning; }, WaitMs));
    }
    prompts.shown.clear();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompts.shown.empty()) << "no follower is left to ask about";
}

TEST_F(LiveValuesTest, TheExampleScriptPrintsValuesAsTheyChange) {
    tick();
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(QStringLiteral(QORVIEW_TEST_FOLLOW_VALUES), {QStringLiteral("labelChan(3)")});
    const auto nextLine = [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return script.canReadLine(); }, WaitMs));
        return QString::fromUtf8(script.readLine());
    };
    EXPECT_EQ(nextLine(), QStringLiteral("labelChan(3)\t 3.25000\n"));
    EXPECT_EQ(state.live.DdeLinkCount, 1);
    setFormula(3, QStringLiteral("7"));
    tick();
    EXPECT_EQ(nextLine(), QStringLiteral("labelChan(3)\t 7.00000\n"));
    script.terminate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return script.state() == QProcess::NotRunning; }, WaitMs));
    EXPECT_EQ(script.exitCode(), 0);
    EXPECT_EQ(state.live.DdeLinkCount, 0) << "it unadvised on its way out";
}

TEST_F(LiveValuesTest, ItemsFollowTheChannelCount) {
    Client client(QStringLiteral("client"));
    auto items = [&] {
        return answered(client.display->Items()).value();
    };
    EXPECT_EQ(items().size(), 8);
    EXPECT_EQ(items().front(), QStringLiteral("labelChan(1)"));
    for (const int count : {12, 3}) {
        SCOPED_TRACE(count);
        // The channel objects follow the count, as the setup's lifecycle keeps them.
        state.unit.UnitSystem->setMaxChannel(count);
        state.unit.Channels.resize(static_cast<size_t>(std::min(count, 8)));
        for (int n = 9; n <= count; ++n) {
            state.unit.Channels.push_back(std::make_unique<Channel>(state.session, prompts));
            state.unit.Channels.back()->SetDefaults(n);
        }
        window->UpdateMainDisplay();
        tick();
        const QStringList now = items();
        ASSERT_EQ(now.size(), count);
        EXPECT_EQ(now.back(), LiveItems::itemName(count));
        EXPECT_FALSE(client.request(count).isEmpty());
        const QDBusPendingCall beyond =
            client.call([&](auto &d) { return d.Request(LiveItems::itemName(count + 1)); });
        EXPECT_EQ(beyond.error().name(), UnknownItem);
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(LiveValuesTest, IntrospectionShowsTheWholeInterface) {
    QProcess gdbus;
    gdbus.start(QStringLiteral("gdbus"), {QStringLiteral("introspect"), QStringLiteral("--session"),
                                          QStringLiteral("--dest"), ServiceName,
                                          QStringLiteral("--object-path"), ObjectPath});
    ASSERT_TRUE(QTest::qWaitFor([&] { return gdbus.state() == QProcess::NotRunning; }, WaitMs));
    ASSERT_EQ(gdbus.exitCode(), 0) << gdbus.readAllStandardError().constData();
    const QString shown = QString::fromUtf8(gdbus.readAllStandardOutput());
    for (const char *member :
         {"interface org.qorview.Display1 {", "Request(in  s item,", "out s value);",
          "Advise(in  s item);", "Unadvise(in  s item);", "Items(out as items);", "Changed(s item,",
          "readonly s Application = 'qorview';", "readonly s Topic = 'Display';",
          "readonly u Conversations = 0;"})
        EXPECT_TRUE(shown.contains(QLatin1String(member))) << member << "\n" << qPrintable(shown);
}

} // namespace
