#include "UpstreamClient.h"

#include "HttpDate.h"
#include "UpstreamRateLimit.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace brisora::gateway {
namespace {

UpstreamReply refusedReply()
{
    return UpstreamReply{UpstreamReply::Outcome::RateLimited,
                         429,
                         {},
                         QStringLiteral("backing off after a rate limit"),
                         {}};
}

/// The reply's Retry-After in seconds from `now`: a number of seconds, or a date.
std::optional<qint64> retryAfterOf(const QNetworkReply& reply, const QDateTime& now)
{
    const QByteArray value = reply.rawHeader("Retry-After").trimmed();
    bool isNumber = false;
    const qint64 seconds = value.toLongLong(&isNumber);
    if (isNumber)
        return seconds >= 0 ? std::optional<qint64>(seconds) : std::nullopt;
    const QDateTime until = parseHttpDate(value);
    if (!until.isValid())
        return std::nullopt;
    return std::max<qint64>(0, now.secsTo(until));
}

/// A redirect is followed only to https on the host asked, so that neither the request
/// nor its answer can be moved somewhere less safe or to someone else.
bool isFollowedRedirect(const QUrl& from, const QUrl& to)
{
    return to.scheme() == QLatin1String("https") &&
           to.host().compare(from.host(), Qt::CaseInsensitive) == 0;
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
    get(gate, url, {}, std::move(done));
}

void UpstreamClient::get(UpstreamGate& gate, const QUrl& url, const Headers& headers,
                         std::function<void(UpstreamReply)> done)
{
    auto shared = std::make_shared<std::function<void(UpstreamReply)>>(std::move(done));
    gate.submit([this, &gate, url, headers,
                 shared] { send(gate, url, headers, *shared, m_limits.concurrencyRetries); },
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

void UpstreamClient::send(UpstreamGate& gate, const QUrl& url, const Headers& headers,
                          std::function<void(UpstreamReply)> done, int retriesLeft)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    request.setRawHeader("Accept", "application/json");
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    // No Accept-Encoding of ours: Qt then asks for gzip and deflate (and more, where it was
    // built with them) and decodes the body.
    if (m_limits.httpsRedirects > 0) {
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::UserVerifiedRedirectPolicy);
        request.setMaximumRedirectsAllowed(m_limits.httpsRedirects);
    } else {
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
    }
    QNetworkReply* reply = m_network.get(request);

    // Shared by the timer, the size guard, the redirect check and the finish handler, which
    // all live on this thread; whichever cuts the transfer short records why before aborting.
    auto cause = std::make_shared<UpstreamReply::Outcome>(UpstreamReply::Outcome::Ok);
    auto refusedRedirect = std::make_shared<QUrl>();
    connect(reply, &QNetworkReply::redirected, reply,
            [reply, url, cause, refusedRedirect](const QUrl& target) {
                if (isFollowedRedirect(url, target)) {
                    emit reply->redirectAllowed();
                    return;
                }
                *cause = UpstreamReply::Outcome::HttpError;
                *refusedRedirect = target;
                reply->abort();
            });
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
    connect(
        reply, &QNetworkReply::finished, this,
        [this, &gate, url, headers, reply, cause, refusedRedirect, retriesLeft,
         done = std::move(done)] {
            reply->deleteLater();
            UpstreamReply result;
            result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            for (const auto& [name, value] : reply->rawHeaderPairs())
                result.headers.append({name, value});
            if (*cause != UpstreamReply::Outcome::Ok) {
                result.outcome = *cause;
                switch (*cause) {
                case UpstreamReply::Outcome::TimedOut:
                    result.error =
                        QStringLiteral("no answer within %1 ms").arg(m_limits.timeout.count());
                    break;
                case UpstreamReply::Outcome::TooLarge:
                    result.error = QStringLiteral("reply over %1 bytes").arg(m_limits.maxBodyBytes);
                    break;
                default:
                    result.error =
                        QStringLiteral("status %1, redirect to %2 not followed (only to https "
                                       "on the same host)")
                            .arg(result.httpStatus)
                            .arg(refusedRedirect->toString(QUrl::RemoveQuery));
                    break;
                }
            } else if (result.httpStatus == 304) {
                result.outcome = UpstreamReply::Outcome::NotModified;
            } else if (result.httpStatus == 429) {
                const QByteArray body = reply->readAll().left(4096);
                const RateLimitKind kind = rateLimitKindOf(body);
                std::optional<qint64> retryAfter = retryAfterOf(*reply, m_clock());
                if (kind == RateLimitKind::Unknown && !retryAfter)
                    retryAfter = m_limits.unknownRateLimitWait.count();
                result.error = statusText(result.httpStatus, body);
                if (kind == RateLimitKind::Concurrency && !retryAfter && retriesLeft > 0) {
                    reportFailure(url,
                                  result.error + QStringLiteral(", asking again in %1 ms")
                                                     .arg(m_limits.concurrencyRetryDelay.count()));
                    // The service is busy with this client (others may share its
                    // address): ask again a little later, on its own.
                    gate.release();
                    gate.submitRetry(
                        [this, &gate, url, headers, done, retriesLeft] {
                            send(gate, url, headers, done, retriesLeft - 1);
                        },
                        [done] { done(refusedReply()); }, m_limits.concurrencyRetryDelay);
                    return;
                }
                reportFailure(url, result.error);
                if (kind != RateLimitKind::Concurrency || retryAfter) {
                    const QDateTime end =
                        rateLimitEnd(kind, retryAfter, m_clock(), m_limits.maxRetryAfter.count());
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
                result.outcome != UpstreamReply::Outcome::NotModified &&
                result.outcome != UpstreamReply::Outcome::RateLimited)
                reportFailure(url, result.error);
            gate.release();
            done(std::move(result));
        });
}

} // namespace brisora::gateway
