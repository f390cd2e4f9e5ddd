#include "IdleExit.h"

#include "FeedService.h"
#include "HttpServer.h"

namespace brisora::gateway {

IdleExit::IdleExit(HttpServer& server, const FeedService& service, std::chrono::seconds idleTime,
                   GatewayLog log, std::function<void()> exit, QObject* parent)
    : QObject(parent), m_service(service), m_idleTime(idleTime), m_log(std::move(log)),
      m_exit(std::move(exit))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &IdleExit::timeUp);
    connect(&server, &HttpServer::openConnectionsChanged, this, &IdleExit::connectionsChanged);
    connectionsChanged(server.openConnections());
}

void IdleExit::connectionsChanged(int count)
{
    if (count > 0) {
        m_timer.stop();
    } else {
        m_timer.start(m_idleTime);
        m_idleSince.start();
    }
}

void IdleExit::timeUp()
{
    if (m_service.hasWorkUnderWay()) {
        // Leaving now would throw away an answer that the cache is waiting for.
        m_timer.start(std::chrono::seconds(1));
        return;
    }
    // Rounded, since a coarse timer may come a little early.
    const qint64 idleSeconds = (m_idleSince.elapsed() + 500) / 1000;
    m_log.write(QStringLiteral("exiting after %1 s idle").arg(idleSeconds));
    m_exit();
}

} // namespace brisora::gateway
