#include "StatusNotifierHostWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace brisora {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

bool StatusNotifierHostWatch::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    auto* names = new QDBusServiceWatcher(kWatcherService, bus,
                                          QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(names, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty())
                    emit hostChanged(false);
                else
                    askWhetherHostRegistered();
            });
    // A watcher may be there long before its host (KDE starts it first): the host's own
    // arrival is a signal of the watcher. Subscribed before the first question, so that
    // nothing falls between.
    for (const char* member : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QLatin1String(member), this,
                    SLOT(askWhetherHostRegistered()));
    askWhetherHostRegistered();
    return true;
}

void StatusNotifierHostWatch::askWhetherHostRegistered()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    // Only looks: a watcher that the bus could start on demand is not there yet.
    get.setAutoStartService(false);
    auto* answer = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    // Replies come in the order asked, so the last one stands.
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                call->deleteLater();
                emit hostChanged(!reply.isError() && reply.value().variant().toBool());
            });
}

} // namespace brisora
