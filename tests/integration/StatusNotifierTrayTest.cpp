// The real program on a status-notifier desktop: a virtual display with a window manager, a
// session bus of the test's own and a status-notifier watcher on it (started before the
// widget or after it, as at logon). The test is the host: it registers with the watcher, and
// reads and drives the item as a panel does, over the bus.
#include "integration/ChildProcess.h"
#include "integration/FileBytes.h"
#include "integration/SessionBus.h"
#include "integration/WidgetPoints.h"
#include "integration/XvfbDisplay.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace brisora::test;
using namespace std::chrono_literals;

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
constexpr auto kShownNoPlace = "0\r\n0\r\n1\r\n4500\r\n3000\r\n\r\n0\r\n>none\r\n";

/// A status-notifier item as the watcher names it: its bus name and object path.
struct Item
{
    QString service;
    QString path;
};

/// One entry of an exported menu, as a host reads it.
struct MenuEntry
{
    int id = 0;
    QString label;
    bool enabled = true;
    bool separator = false;
};

/// The first level of a GetLayout reply's (ia{sv}av) tree.
std::vector<MenuEntry> topLevelEntries(const QDBusArgument& layout)
{
    int rootId = 0;
    QVariantMap rootProperties;
    layout.beginStructure();
    layout >> rootId >> rootProperties;
    std::vector<MenuEntry> entries;
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant wrapped;
        layout >> wrapped;
        const QDBusArgument child = wrapped.variant().value<QDBusArgument>();
        MenuEntry entry;
        QVariantMap properties;
        child.beginStructure();
        child >> entry.id >> properties;
        child.endStructure();
        entry.label = properties.value(QStringLiteral("label")).toString();
        entry.enabled = properties.value(QStringLiteral("enabled"), true).toBool();
        entry.separator =
            properties.value(QStringLiteral("type")).toString() == QStringLiteral("separator");
        entries.push_back(entry);
    }
    layout.endArray();
    layout.endStructure();
    return entries;
}

/// The title of a ToolTip property's (sa(iiay)ss).
QString toolTipTitle(const QDBusArgument& tip)
{
    QString iconName;
    QString title;
    tip.beginStructure();
    tip >> iconName;
    tip.beginArray();
    while (!tip.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray pixels;
        tip.beginStructure();
        tip >> width >> height >> pixels;
        tip.endStructure();
    }
    tip.endArray();
    tip >> title;
    tip.endStructure();
    return title;
}

class StatusNotifierTrayTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!XvfbDisplay::desktopAvailable() || !SessionBus::available())
            GTEST_SKIP() << "Xvfb, xdotool, openbox, trayer and dbus-daemon are needed";
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(display.ready()) << "Xvfb did not start";
        ASSERT_TRUE(bus.ready()) << "dbus-daemon did not start";
        ASSERT_TRUE(display.startWindowManagerOnly()) << "openbox did not start";
        client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QString::fromStdString(bus.address()), QStringLiteral("brisora-tray-test")));
        ASSERT_TRUE(client->isConnected());
        program = folder.filePath(QStringLiteral("brisora"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(BRISORA_EXECUTABLE), program));
        settingsPath = folder.filePath(QStringLiteral("brisora.conf"));
        ASSERT_TRUE(writeBytes(settingsPath, kShownNoPlace));
    }
    void TearDown() override
    {
        client.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("brisora-tray-test"));
    }

    /// Starts the watcher; true once its name is on the bus.
    bool startWatcher()
    {
        watcher = std::make_unique<ChildProcess>(BRISORA_STATUS_NOTIFIER_WATCHER,
                                                 std::vector<std::string>{},
                                                 std::vector<std::string>{bus.environmentEntry()});
        return pollUntil([&] { return nameOwned(kWatcher); }, 10s);
    }
    /// Registers the test with the watcher as its host, as a panel does once it shows items.
    void registerHost()
    {
        call(kWatcher, QStringLiteral("/StatusNotifierWatcher"), kWatcher,
             QStringLiteral("RegisterStatusNotifierHost"),
             {QStringLiteral("org.kde.StatusNotifierHost-%1").arg(::getpid())});
    }
    /// Starts the widget and waits for its window; empty if it never shows.
    std::string startWidget()
    {
        const std::string own = folder.path().toStdString();
        app = std::make_unique<ChildProcess>(
            program.toStdString(), std::vector<std::string>{},
            display.environment({"QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + own,
                                 "XDG_CONFIG_HOME=" + own + "/config", bus.environmentEntry()}));
        return display.visibleWindow("Brisora");
    }

    bool nameOwned(const QString& name) const
    {
        const QDBusMessage reply =
            call(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {name});
        return !reply.arguments().isEmpty() && reply.arguments().first().toBool();
    }
    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        return client->call(message, QDBus::Block, 5000);
    }
    QVariant property(const Item& item, const QString& interface, const QString& name) const
    {
        const QDBusMessage reply =
            call(item.service, item.path, QStringLiteral("org.freedesktop.DBus.Properties"),
                 QStringLiteral("Get"), {interface, name});
        return reply.arguments().isEmpty()
                   ? QVariant()
                   : reply.arguments().first().value<QDBusVariant>().variant();
    }

    /// The item that registered with the watcher within `timeout`; empty service if none.
    Item registeredItem(std::chrono::milliseconds timeout)
    {
        QStringList items;
        const Item watcherObject{kWatcher, QStringLiteral("/StatusNotifierWatcher")};
        pollUntil(
            [&] {
                items = property(watcherObject, kWatcher,
                                 QStringLiteral("RegisteredStatusNotifierItems"))
                            .toStringList();
                return !items.isEmpty();
            },
            timeout);
        if (items.isEmpty())
            return {};
        const qsizetype slash = items.first().indexOf(QLatin1Char('/'));
        return {items.first().left(slash), items.first().mid(slash)};
    }
    /// The item's menu as a host shows it, "Open (greyed), ..., -, Exit"; "none" when the
    /// item exports none.
    std::string menuText(const Item& item)
    {
        entries.clear();
        menuPath =
            property(item, kItemInterface, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
        if (menuPath.isEmpty() || menuPath == QStringLiteral("/NO_DBUSMENU"))
            return "none";
        call(item.service, menuPath, kMenuInterface, QStringLiteral("AboutToShow"), {0});
        const QDBusMessage layout = call(item.service, menuPath, kMenuInterface,
                                         QStringLiteral("GetLayout"), {0, -1, QStringList()});
        if (layout.arguments().size() != 2)
            return "no layout: " + layout.errorMessage().toStdString();
        entries = topLevelEntries(layout.arguments().at(1).value<QDBusArgument>());
        std::string text;
        for (const MenuEntry& entry : entries) {
            text += text.empty() ? "" : ", ";
            text += entry.separator ? "-" : entry.label.toStdString();
            text += entry.enabled ? "" : " (greyed)";
        }
        return text;
    }
    /// Chooses the entry `label` of the menu last read, as a click in the host's menu does.
    void choose(const Item& item, const QString& label)
    {
        for (const MenuEntry& entry : entries)
            if (entry.label == label)
                call(item.service, menuPath, kMenuInterface, QStringLiteral("Event"),
                     {entry.id, QStringLiteral("clicked"),
                      QVariant::fromValue(QDBusVariant(QString())), 0u});
    }
    /// The menu's text once it reads `expected`, or as it reads after 5 s.
    std::string menuTextOnce(const Item& item, const std::string& expected)
    {
        std::string text;
        pollUntil([&] { return (text = menuText(item)) == expected; }, 5s);
        return text;
    }
    /// Left click on the item as a host passes it on.
    void activate(const Item& item)
    {
        call(item.service, item.path, kItemInterface, QStringLiteral("Activate"), {10, 10});
    }
    /// Clicks the minimize mark, as a person does: the bus gives the window back so fast
    /// that a click at once, on the spot of the last one, would be a double click.
    void hideWithTheMark(const std::string& window) const
    {
        std::this_thread::sleep_for(600ms); // past Qt's 400 ms double-click time
        display.xdotool("mousemove --window " + window + " " + kMinimizeMark + " click 1");
    }
    bool endsCleanly()
    {
        const std::optional<int> status = app->waitForExit(20s);
        return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    }

    QTemporaryDir folder;
    XvfbDisplay display;
    SessionBus bus;
    std::unique_ptr<QDBusConnection> client;
    std::unique_ptr<ChildProcess> watcher;
    std::unique_ptr<ChildProcess> app;
    QString program;
    QString settingsPath;
    QString menuPath;
    std::vector<MenuEntry> entries;
};

constexpr auto kMenuWhileShown = "Open (greyed), Refresh Now, Options, -, Exit";
constexpr auto kMenuWhileHidden = "Open, Refresh Now, Options, -, Exit";

} // namespace

TEST_F(StatusNotifierTrayTest, TheItemCarriesTheProgramsMenuTipAndWayBack)
{
    ASSERT_TRUE(startWatcher());
    registerHost();
    const std::string window = startWidget();
    ASSERT_FALSE(window.empty()) << "the main window never showed";
    const Item item = registeredItem(5s);
    ASSERT_FALSE(item.service.isEmpty()) << "no status-notifier item registered";
    EXPECT_EQ(toolTipTitle(
                  property(item, kItemInterface, QStringLiteral("ToolTip")).value<QDBusArgument>()),
              QStringLiteral("Brisora 1.25"));
    EXPECT_EQ(menuText(item), kMenuWhileShown);

    hideWithTheMark(window);
    ASSERT_TRUE(display.noVisibleWindow("Brisora", 10s)) << "the window did not hide";
    EXPECT_EQ(menuTextOnce(item, kMenuWhileHidden), kMenuWhileHidden);
    activate(item);
    EXPECT_EQ(display.visibleWindow("Brisora", 10s), window) << "Activate gave nothing back";
    EXPECT_EQ(menuTextOnce(item, kMenuWhileShown), kMenuWhileShown);

    // The host's menu does what the window's own does.
    hideWithTheMark(window);
    ASSERT_TRUE(display.noVisibleWindow("Brisora", 10s));
    EXPECT_EQ(menuTextOnce(item, kMenuWhileHidden), kMenuWhileHidden);
    choose(item, QStringLiteral("Open"));
    EXPECT_EQ(display.visibleWindow("Brisora", 10s), window) << "Open gave nothing back";
    choose(item, QStringLiteral("Exit"));
    EXPECT_TRUE(endsCleanly());
    EXPECT_EQ(readBytes(settingsPath), kShownNoPlace);
}

TEST_F(StatusNotifierTrayTest, APanelStartedAfterTheWidgetGetsTheItem)
{
    // At logon: the widget first, on a desktop with no tray yet; the panel, with its
    // watcher and host, a few seconds later.
    const std::string window = startWidget();
    ASSERT_FALSE(window.empty()) << "the main window never showed";
    std::this_thread::sleep_for(3s);
    ASSERT_TRUE(startWatcher());
    registerHost();
    const Item item = registeredItem(5s);
    ASSERT_FALSE(item.service.isEmpty()) << "the item never registered with the late watcher";
    EXPECT_EQ(menuText(item), kMenuWhileShown);

    // A panel that goes away leaves a hidden window no way back but to come back itself.
    hideWithTheMark(window);
    ASSERT_TRUE(display.noVisibleWindow("Brisora", 10s)) << "the window did not hide";
    watcher.reset();
    EXPECT_EQ(display.visibleWindow("Brisora", 10s), window);
    app->signal(SIGTERM);
    EXPECT_TRUE(endsCleanly());
}

TEST_F(StatusNotifierTrayTest, AHostRegisteredLateWinsOverAnXEmbedTray)
{
    // As KDE starts: the watcher first, with no host, an XEmbed tray at once, and the host
    // itself a few seconds after the widget.
    ASSERT_TRUE(display.startTray()) << "trayer did not take the tray selection";
    ASSERT_TRUE(startWatcher());
    const std::string window = startWidget();
    ASSERT_FALSE(window.empty()) << "the main window never showed";
    std::this_thread::sleep_for(4s);
    registerHost();
    const Item item = registeredItem(5s);
    ASSERT_FALSE(item.service.isEmpty()) << "the widget took the XEmbed tray";
    EXPECT_EQ(menuText(item), kMenuWhileShown);
    app->signal(SIGTERM);
    EXPECT_TRUE(endsCleanly());
}
