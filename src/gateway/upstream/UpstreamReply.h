#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <utility>

namespace brisora::gateway {

/// What one upstream GET came to.
struct UpstreamReply
{
    enum class Outcome
    {
        Ok,           // 2xx with a body of acceptable size
        NotModified,  // 304: the copy the request named in If-Modified-Since is still right
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
    QList<std::pair<QByteArray, QByteArray>> headers; // as received, of any HTTP answer

    /// The first header called `name` (in any case), or empty.
    QByteArray header(QByteArrayView name) const
    {
        for (const auto& [key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
};

} // namespace brisora::gateway
