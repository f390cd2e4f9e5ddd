#include "UpstreamClient.h"

#include "UpstreamRateLimit.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace brisora::gateway {
namespace {

UpstreamReply refusedReply()
{
    return UpstreamReply{UpstreamReply::Outcome::RateLimited,
                         429,
                         {},
                         QStringLiteral("backing off after a rate limit")};
}

std::optional<qint64> retryAfterOf(const QNetworkReply& reply)
{
    bool isNumber = false;
    const qint64 seconds = reply.rawHeader("Retry-After").trimmed().toLongLong(&isNumber);
    if (!isNumber || seconds < 0)
        return std::nullopt;
    return seconds;
}

/// "status N", and the API's own reason when its error body gives one.
QString statusText(int status, QByteArrayView body)
{
    QString text = QStringLiteral("status %1").arg(status);
    if (const QString reason = upstreamErrorReason(body).left(300); !reason.isEmpty())
        text += QStringLiteral(", reason \"%1\"").arg(reason);
    return text;
}

/// The service a request went to, as the log names it: its URL without query or credentials.
QString serviceOf(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment).toString();
}

/// Qt's own error text, with any quote of the URL cut to the service: a query can carry an
/// API key, which never goes to the log.
QString networkErrorText(const QNetworkReply& reply, const QUrl& url)
{
    QString text = reply.errorString();
    if (url.hasQuery()) {
        for (const QString& form :
             {url.toString(QUrl::FullyEncoded), url.toString(), url.toDisplayString()})
            text.replace(form, serviceOf(url));
        for (const QString& form : {url.query(QUrl::FullyEncoded), url.query()})
            text.replace(form, QStringLiteral("..."));
    }
    return text;
}

} // namespace

UpstreamClient::UpstreamClient(Limits limits, QByteArray userAgent, GatewayClock clock,
                               GatewayLog log, QObject* parent)
    : QObject(parent), m_limits(limits), m_userAgent(std::move(userAgent)),
      m_clock(std::move(clock)), m_log(std::move(log))
{
}

void UpstreamClient::reportUnreadable(const QUrl& url, const QString& why) const
{
    reportFailure(url, QStringLiteral("unreadable reply: ") + why);
}

void UpstreamClient::reportFailure(const QUrl& url, const QString& what) const
{
    m_log.write(QStringLiteral("upstream %1 failed: %2").arg(serviceOf(url), what));
}

void UpstreamClient::get(UpstreamGate& gate, const QUrl& url,
                         std::function<void(UpstreamReply)> done)
{
    auto shared = std::make_shared<std::function<void(UpstreamReply)>>(std::move(done));
    gate.submit(
        [this, &gate, url, shared] { send(gate, url, *shared, m_limits.concurrencyRetries); },
        [shared] { (*shared)(refusedReply()); });
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

void UpstreamClient::send(UpstreamGate& gate, const QUrl& url,
                          std::function<void(UpstreamReply)> done, int retriesLeft)
{
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
    connect(reply, &QNetworkReply::finished, this,
            [this, &gate, url, reply, cause, retriesLeft, done = std::move(done)] {
                reply->deleteLater();
                UpstreamReply result;
                result.httpStatus =
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                if (*cause != UpstreamReply::Outcome::Ok) {
                    result.outcome = *cause;
                    result.error =
                        *cause == UpstreamReply::Outcome::TimedOut
                            ? QStringLiteral("no answer within %1 ms").arg(m_limits.timeout.count())
                            : QStringLiteral("reply over %1 bytes").arg(m_limits.maxBodyBytes);
                } else if (result.httpStatus == 429) {
                    const QByteArray body = reply->readAll().left(4096);
                    const RateLimitKind kind = rateLimitKindOf(body);
                    const std::optional<qint64> retryAfter = retryAfterOf(*reply);
                    result.error = statusText(result.httpStatus, body);
                    if (kind == RateLimitKind::Concurrency && !retryAfter && retriesLeft > 0) {
                        reportFailure(url, result.error +
                                               QStringLiteral(", asking again in %1 ms")
                                                   .arg(m_limits.concurrencyRetryDelay.count()));
                        // The service is busy with this client (others may share its
                        // address): ask again a little later, on its own.
                        gate.release();
                        gate.submitRetry([this, &gate, url, done,
                                          retriesLeft] { send(gate, url, done, retriesLeft - 1); },
                                         [done] { done(refusedReply()); },
                                         m_limits.concurrencyRetryDelay);
                        return;
                    }
                    reportFailure(url, result.error);
                    if (kind != RateLimitKind::Concurrency || retryAfter) {
                        const QDateTime end = rateLimitEnd(kind, retryAfter, m_clock(),
                                                           m_limits.maxRetryAfter.count());
                        gate.closeUntil(end);
                        m_log.write(QStringLiteral("upstream back-off after a rate limit from "
                                                   "%1: no requests until %2")
                                        .arg(serviceOf(url), end.toUTC().toString(Qt::ISODate)));
                    }
                    result.outcome = UpstreamReply::Outcome::RateLimited;
                } else if (result.httpStatus >= 200 && result.httpStatus < 300 &&
                           reply->error() == QNetworkReply::NoError) {
                    result.outcome = UpstreamReply::Outcome::Ok;
                    result.body = reply->readAll();
                } else if (result.httpStatus != 0) {
                    result.outcome = UpstreamReply::Outcome::HttpError;
                    result.body = reply->readAll().left(4096);
                    result.error = statusText(result.httpStatus, result.body);
                } else {
                    result.outcome = UpstreamReply::Outcome::NetworkError;
                    result.error = networkErrorText(*reply, url);
                }
                if (result.outcome != UpstreamReply::Outcome::Ok &&
                    result.outcome != UpstreamReply::Outcome::RateLimited)
                    reportFailure(url, result.error);
                gate.release();
                done(std::move(result));
            });
}

} // namespace brisora::gateway
