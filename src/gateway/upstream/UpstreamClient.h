#pragma once

#include "GatewayClock.h"
#include "GatewayLog.h"
#include "UpstreamGate.h"
#include "UpstreamReply.h"

#include <QByteArray>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>

namespace brisora::gateway {

/// Plain GETs to the upstream services, one event loop, never blocking: every request has a
/// time limit and a size limit, carries an identifying User-Agent, accepts gzip (which Qt
/// asks for and decodes itself), follows no redirects unless its limits allow some (and then
/// only to https on the same host), and goes out through its service's gate. A 429 "Too many
/// concurrent requests" is asked again a little later; any other 429 closes that service's
/// gate for as long as the reply says (its Retry-After, in seconds or as a date, or the limit
/// its reason names, else `unknownRateLimitWait`). Every failure of a request that went out,
/// and every closing of a gate, is one line in the log.
class UpstreamClient : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        std::chrono::milliseconds timeout{10'000};
        qint64 maxBodyBytes = 4 * 1024 * 1024;
        std::chrono::milliseconds concurrencyRetryDelay{1000};
        int concurrencyRetries = 3;                    // then the request fails as rate limited
        std::chrono::seconds maxRetryAfter{3600};      // a longer Retry-After is cut to this
        std::chrono::seconds unknownRateLimitWait{60}; // a 429 that says nothing of how long
        int httpsRedirects = 0; // redirects followed in a row, each only to https, same host
    };

    /// Header lines added to a request, name and value.
    using Headers = QList<std::pair<QByteArray, QByteArray>>;

    UpstreamClient(Limits limits, QByteArray userAgent, GatewayClock clock, GatewayLog log,
                   QObject* parent = nullptr);

    /// Sends GET `url` through `gate` (which must outlive this client's requests); `done`
    /// runs once with the outcome, from the event loop, or before this returns when the gate
    /// is closed.
    void get(UpstreamGate& gate, const QUrl& url, std::function<void(UpstreamReply)> done);
    /// The same, with `headers` added to the request.
    void get(UpstreamGate& gate, const QUrl& url, const Headers& headers,
             std::function<void(UpstreamReply)> done);

    /// `base` with "/" and `endpoint` added to its path (trailing slashes of `base` dropped).
    static QUrl endpointUrl(const QUrl& base, const QString& endpoint);

    /// Logs that the reply to `url`, though it came with a success status, could not be used.
    void reportUnreadable(const QUrl& url, const QString& why) const;

private:
    void send(UpstreamGate& gate, const QUrl& url, const Headers& headers,
              std::function<void(UpstreamReply)> done, int retriesLeft);
    void reportFailure(const QUrl& url, const QString& what) const;

    Limits m_limits;
    QByteArray m_userAgent;
    GatewayClock m_clock;
    GatewayLog m_log;
    QNetworkAccessManager m_network;
};

} // namespace brisora::gateway
