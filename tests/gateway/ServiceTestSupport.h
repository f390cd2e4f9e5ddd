#pragma once

#include "FeedService.h"
#include "GatewayReply.h"
#include "GatewayRequest.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <functional>

namespace brisora::gateway::test {

/// Runs the event loop until `done` holds or `timeoutMs` pass; returns `done()`.
inline bool runUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

/// Asks `service` and waits for its answer; status 0 when none came in time.
inline GatewayReply ask(FeedService& service, const GatewayRequest& request)
{
    std::optional<GatewayReply> reply;
    service.handle(request, [&reply](GatewayReply answer) { reply = std::move(answer); });
    runUntil([&reply] { return reply.has_value(); });
    return reply.value_or(GatewayReply{0, {}});
}

inline GatewayRequest feedRequest(const char* id, Units units = Units::Metric)
{
    return FeedRequest{QByteArray(id), units};
}

inline GatewayRequest searchRequest(const QString& words)
{
    return PlaceSearchRequest{words};
}

} // namespace brisora::gateway::test
