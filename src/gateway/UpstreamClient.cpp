#include "UpstreamClient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace brisora::gateway {
namespace {

/// The "reason" of an error reply such as {"reason":"...","error":true}, cut to a length a
/// log line can carry; empty when the body is no such object.
QString errorReason(const QByteArray& body)
{
    return QJsonDocument::fromJson(body)
        .object()
        .value(QLatin1String("reason"))
        .toString()
        .left(300);
}

/// Fills in the body of an error reply, the API's reason in it, and "status N, reason ...".
void takeErrorReply(QNetworkReply& reply, UpstreamReply& result)
{
    result.body = reply.readAll().left(4096);
    result.reason = errorReason(result.body);
    result.error = QStringLiteral("status %1").arg(result.httpStatus);
    if (!result.reason.isEmpty())
        result.error += QStringLiteral(", reason \"%1\"").arg(result.reason);
}

/// The service a request went to, as the log names it: its URL without query or credentials.
QString serviceOf(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment).toString();
}

} // namespace

UpstreamClient::UpstreamClient(Limits limits, QByteArray userAgent, GatewayClock clock,
                               GatewayLog log, QObject* parent)
    : QObject(parent), m_limits(limits), m_userAgent(std::move(userAgent)),
      m_clock(std::move(clock)), m_log(std::move(log))
{
}

bool UpstreamClient::isBackingOff() const
{
    return m_blockedUntil.isValid() && m_clock() < m_blockedUntil;
}

void UpstreamClient::get(const QUrl& url, std::function<void(UpstreamReply)> done)
{
    if (isBackingOff()) {
        // Not sent, so not logged: the back-off itself was.
        done(UpstreamReply{UpstreamReply::Outcome::RateLimited,
                           429,
                           {},
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
            result.error =
                *cause == UpstreamReply::Outcome::TimedOut
                    ? QStringLiteral("no answer within %1 ms").arg(m_limits.timeout.count())
                    : QStringLiteral("reply over %1 bytes").arg(m_limits.maxBodyBytes);
        } else if (result.httpStatus == 429) {
            result.outcome = UpstreamReply::Outcome::RateLimited;
            takeErrorReply(*reply, result);
        } else if (result.httpStatus >= 200 && result.httpStatus < 300 &&
                   reply->error() == QNetworkReply::NoError) {
            m_rateLimitsInARow = 0;
            result.outcome = UpstreamReply::Outcome::Ok;
            result.body = reply->readAll();
        } else if (result.httpStatus != 0) {
            result.outcome = UpstreamReply::Outcome::HttpError;
            takeErrorReply(*reply, result);
        } else {
            result.outcome = UpstreamReply::Outcome::NetworkError;
            result.error = reply->errorString();
        }
        if (result.outcome != UpstreamReply::Outcome::Ok)
            reportFailure(reply->url(), result.error);
        if (result.outcome == UpstreamReply::Outcome::RateLimited)
            noteRateLimit(reply->url(), reply->rawHeader("Retry-After"));
        done(std::move(result));
    });
}

void UpstreamClient::reportUnreadable(const QUrl& url, const QString& why) const
{
    reportFailure(url, QStringLiteral("unreadable reply: ") + why);
}

void UpstreamClient::reportFailure(const QUrl& url, const QString& what) const
{
    m_log.write(QStringLiteral("upstream %1 failed: %2").arg(serviceOf(url), what));
}

void UpstreamClient::noteRateLimit(const QUrl& url, const QByteArray& retryAfter)
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
    m_log.write(QStringLiteral("upstream back-off after a rate limit from %1: no requests for "
                               "%2 s, until %3")
                    .arg(serviceOf(url), QString::number(wait.count()),
                         m_blockedUntil.toUTC().toString(Qt::ISODate)));
}

} // namespace brisora::gateway
