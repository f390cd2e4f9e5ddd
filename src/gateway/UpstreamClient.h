#pragma once

#include "GatewayClock.h"
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
/// back-off) has passed.
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

    UpstreamClient(Limits limits, QByteArray userAgent, GatewayClock clock,
                   QObject* parent = nullptr);

    /// Sends GET `url`; `done` runs once with the outcome, from the event loop, or before
    /// this returns when a back-off is in force.
    void get(const QUrl& url, std::function<void(UpstreamReply)> done);

    /// True while a rate limit keeps requests from going out.
    bool isBackingOff() const;

    /// `base` with "/" and `endpoint` added to its path (trailing slashes of `base` dropped).
    static QUrl endpointUrl(const QUrl& base, const QString& endpoint);

private:
    void noteRateLimit(const QByteArray& retryAfter);

    Limits m_limits;
    QByteArray m_userAgent;
    GatewayClock m_clock;
    QNetworkAccessManager m_network;
    QDateTime m_blockedUntil;
    int m_rateLimitsInARow = 0;
};

} // namespace brisora::gateway
