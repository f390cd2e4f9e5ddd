#include "UpstreamClient.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace brisora::gateway {

UpstreamClient::UpstreamClient(Limits limits, QByteArray userAgent, GatewayClock clock,
                               QObject* parent)
    : QObject(parent), m_limits(limits), m_userAgent(std::move(userAgent)),
      m_clock(std::move(clock))
{
}

bool UpstreamClient::isBackingOff() const
{
    return m_blockedUntil.isValid() && m_clock() < m_blockedUntil;
}

QUrl UpstreamClient::endpointUrl(const QUrl& base, const QString& endpoint)
{
    QUrl url = base;
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QLatin1Char('/') + endpoint);
    return url;
}

void UpstreamClient::get(const QUrl& url, std::function<void(UpstreamReply)> done)
{
    if (isBackingOff()) {
        done(UpstreamReply{UpstreamReply::Outcome::RateLimited,
                           429,
                           {},
                           QStringLiteral("backing off after a rate limit")});
        return;
    }

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    request.setRawHeader("Accept", "application/json");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = m_network.get(request);

    // Shared by the timer, the size guard and the finish handler, which all live on this
    // thread; whichever cuts the transfer short records why before aborting.
    auto cause = std::make_shared<UpstreamReply::Outcome>(UpstreamReply::Outcome::Ok);
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply, cause] {
        *cause = UpstreamReply::Outcome::TimedOut;
        reply->abort();
    });
    timer->start(m_limits.timeout);
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, cause, limit = m_limits.maxBodyBytes](qint64 received, qint64) {
                if (received > limit && *cause == UpstreamReply::Outcome::Ok) {
                    *cause = UpstreamReply::Outcome::TooLarge;
                    reply->abort();
                }
            });
    connect(reply, &QNetworkReply::finished, this, [this, reply, cause, done = std::move(done)] {
        reply->deleteLater();
        UpstreamReply result;
        result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (*cause != UpstreamReply::Outcome::Ok) {
            result.outcome = *cause;
            result.error = *cause == UpstreamReply::Outcome::TimedOut
                               ? QStringLiteral("upstream timed out")
                               : QStringLiteral("upstream reply too large");
        } else if (result.httpStatus == 429) {
            noteRateLimit(reply->rawHeader("Retry-After"));
            result.outcome = UpstreamReply::Outcome::RateLimited;
            result.error = QStringLiteral("upstream rate limit");
        } else if (result.httpStatus >= 200 && result.httpStatus < 300 &&
                   reply->error() == QNetworkReply::NoError) {
            m_rateLimitsInARow = 0;
            result.outcome = UpstreamReply::Outcome::Ok;
            result.body = reply->readAll();
        } else if (result.httpStatus != 0) {
            result.outcome = UpstreamReply::Outcome::HttpError;
            result.body = reply->readAll().left(4096);
            result.error = QStringLiteral("upstream status %1").arg(result.httpStatus);
        } else {
            result.outcome = UpstreamReply::Outcome::NetworkError;
            result.error = reply->errorString();
        }
        done(std::move(result));
    });
}

void UpstreamClient::noteRateLimit(const QByteArray& retryAfter)
{
    bool isNumber = false;
    const qint64 seconds = retryAfter.trimmed().toLongLong(&isNumber);
    std::chrono::seconds wait;
    if (isNumber && seconds >= 0) {
        wait = std::chrono::seconds(std::min<qint64>(seconds, m_limits.maxBackoff.count()));
    } else {
        // Without a hint, wait longer after each 429 in a row.
        const int doublings = std::min(m_rateLimitsInARow, 12);
        wait = std::min(std::chrono::seconds(m_limits.firstBackoff.count() << doublings),
                        m_limits.maxBackoff);
    }
    ++m_rateLimitsInARow;
    m_blockedUntil = m_clock().addSecs(wait.count());
}

} // namespace brisora::gateway
