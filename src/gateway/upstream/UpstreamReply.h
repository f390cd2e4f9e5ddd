#pragma once

#include <QByteArray>
#include <QString>

namespace brisora::gateway {

/// What one upstream GET came to.
struct UpstreamReply
{
    enum class Outcome
    {
        Ok,           // 2xx with a body of acceptable size
        HttpError,    // any other status; `httpStatus` says which
        NetworkError, // no HTTP answer at all
        TimedOut,
        RateLimited, // 429 now, or still backing off from an earlier one (not sent)
        TooLarge,
    };
    Outcome outcome = Outcome::NetworkError;
    int httpStatus = 0;
    QByteArray body;
    QString error;
};

} // namespace brisora::gateway
