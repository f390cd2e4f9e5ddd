// A status-notifier watcher as desktops run one on the session bus: it keeps the items and
// hosts that register with it, forgets each whose bus name goes away, and tells of both by
// its signals. It starts with no host, as KDE's does; whoever calls
// RegisterStatusNotifierHost becomes one.
// Usage: status_notifier_watcher (on $DBUS_SESSION_BUS_ADDRESS; ends when killed)
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QStringList>

#include <cstdio>

namespace {

class StatusNotifierWatcher final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit StatusNotifierWatcher(const QDBusConnection& bus)
        : names_(QString(), bus, QDBusServiceWatcher::WatchForUnregistration)
    {
        connect(&names_, &QDBusServiceWatcher::serviceUnregistered, this,
                &StatusNotifierWatcher::nameGone);
    }

    QStringList registeredItems() const { return items_.values(); }
    bool hostRegistered() const { return !hosts_.isEmpty(); }
    static int protocolVersion() { return 0; }

public slots:
    /// `serviceOrPath` is the item's bus name (its object then at /StatusNotifierItem) or
    /// the object path on the caller's own connection.
    void RegisterStatusNotifierItem(const QString& serviceOrPath, const QDBusMessage& call)
    {
        const bool isPath = serviceOrPath.startsWith(QLatin1Char('/'));
        const QString service = isPath ? call.service() : serviceOrPath;
        const QString item =
            service + (isPath ? serviceOrPath : QStringLiteral("/StatusNotifierItem"));
        names_.addWatchedService(service);
        items_.insert(service, item);
        emit StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString&, const QDBusMessage& call)
    {
        names_.addWatchedService(call.service());
        const bool first = hosts_.isEmpty();
        hosts_.append(call.service());
        if (first)
            emit StatusNotifierHostRegistered();
    }

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();

private:
    void nameGone(const QString& service)
    {
        names_.removeWatchedService(service);
        for (const QString& item : items_.values(service))
            emit StatusNotifierItemUnregistered(item);
        items_.remove(service);
        if (hosts_.removeAll(service) > 0 && hosts_.isEmpty())
            emit StatusNotifierHostUnregistered();
    }

    QDBusServiceWatcher names_;
    QMultiMap<QString, QString> items_; ///< bus name -> "name/path"
    QStringList hosts_;                 ///< bus names of the hosts
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    StatusNotifierWatcher watcher(bus);
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fputs("status_notifier_watcher: the session bus refused the watcher\n", stderr);
        return 1;
    }
    return app.exec();
}

#include "status_notifier_watcher.moc"
