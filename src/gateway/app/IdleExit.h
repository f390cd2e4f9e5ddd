#pragma once

#include "GatewayLog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace brisora::gateway {

class FeedService;
class HttpServer;

/// Ends a gateway that nobody uses: calls `exit` once `idleTime` has passed with no open
/// connection, and only at a moment when no request to the source is under way (work that
/// outlives its connection is waited for, checked every second). A new connection starts
/// the count again from zero when it has gone. Says on `log`, just before, how long it was
/// idle: "exiting after N s idle".
class IdleExit : public QObject
{
    Q_OBJECT

public:
    IdleExit(HttpServer& server, const FeedService& service, std::chrono::seconds idleTime,
             GatewayLog log, std::function<void()> exit, QObject* parent = nullptr);

private:
    void connectionsChanged(int count);
    void timeUp();

    const FeedService& m_service;
    std::chrono::seconds m_idleTime;
    GatewayLog m_log;
    std::function<void()> m_exit;
    QTimer m_timer;
    QElapsedTimer m_idleSince;
};

} // namespace brisora::gateway
