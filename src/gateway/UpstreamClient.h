#pragma once

#include "GatewayClock.h"
#include "GatewayLog.h"
#include "UpstreamReply.h"

#include <QByteArray>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>

namespace brisora::gateway {

/// Plain GETs to the weather source, one event loop, never blocking: every request has a
/// time limit and a size limit, carries an identifying User-Agent, follows no redirects,
/// and after a 429 no request goes out until the source's Retry-After (or a growing
/// back-off) has passed. Every failure of a request that went out, and every back-off, is
/// one line in the log.
class UpstreamClient : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        std::chrono::milliseconds timeout{10'000};
        qint64 maxBodyBytes = 4 * 1024 * 1024;
        std::chrono::seconds firstBackoff{60}; // after a 429 without Retry-After
        std::chrono::seconds maxBackoff{3600};
    };

    UpstreamClient(Limits limits, QByteArray userAgent, GatewayClock clock, GatewayLog log,
                   QObject* parent = nullptr);

    /// Sends GET `url`; `done` runs once with the outcome, from the event loop, or before
    /// this returns when a back-off is in force.
    void get(const QUrl& url, std::function<void(UpstreamReply)> done);

    /// True while a rate limit keeps requests from going out.
    bool isBackingOff() const;

    /// Logs that the reply to `url`, though it came with a success status, could not be used.
    void reportUnreadable(const QUrl& url, const QString& why) const;

private:
    void noteRateLimit(const QUrl& url, const QByteArray& retryAfter);
    void reportFailure(const QUrl& url, const QString& what) const;

    Limits m_limits;
    QByteArray m_userAgent;
    GatewayClock m_clock;
    GatewayLog m_log;
    QNetworkAccessManager m_network;
    QDateTime m_blockedUntil;
    int m_rateLimitsInARow = 0;
};

} // namespace brisora::gateway
