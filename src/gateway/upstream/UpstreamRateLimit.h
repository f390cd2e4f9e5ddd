#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// Which limit a 429 reply names in its `reason`.
enum class RateLimitKind
{
    Concurrency, // "Too many concurrent requests": the source is busy with this client
    Minutely,
    Hourly,
    Daily,
    Unknown, // no reason the gateway knows
};

/// The `reason` of an upstream error reply's JSON body `{"reason":"...","error":true}`; empty
/// for anything else.
QString upstreamErrorReason(QByteArrayView body);

/// Reads the kind of limit out of a 429 reply's JSON body `{"reason":"...","error":true}`;
/// Unknown for anything else (no body, other text, malformed JSON).
RateLimitKind rateLimitKindOf(QByteArrayView body);

/// When requests may go out again after a 429 of `kind` at `now`: at the next whole minute
/// or hour, or at 00:00 UTC of the next day; a second later for Concurrency, a minute later
/// for Unknown. A `retryAfterSeconds` the reply gave wins over the kind, within `longest`.
QDateTime rateLimitEnd(RateLimitKind kind, std::optional<qint64> retryAfterSeconds,
                       const QDateTime& now, qint64 longestSeconds);

} // namespace brisora::gateway
