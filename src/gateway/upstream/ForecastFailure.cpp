#include "ForecastFailure.h"

namespace brisora::gateway {

ForecastFetch::Failure forecastFailureOf(const UpstreamReply& reply)
{
    switch (reply.outcome) {
    case UpstreamReply::Outcome::Ok:
    case UpstreamReply::Outcome::NotModified:
        return ForecastFetch::Failure::None;
    case UpstreamReply::Outcome::NetworkError:
        return ForecastFetch::Failure::Unreachable;
    case UpstreamReply::Outcome::TimedOut:
        return ForecastFetch::Failure::TimedOut;
    case UpstreamReply::Outcome::RateLimited:
        return ForecastFetch::Failure::RateLimited;
    case UpstreamReply::Outcome::TooLarge:
        return ForecastFetch::Failure::Unreadable;
    case UpstreamReply::Outcome::HttpError:
        break;
    }
    if (reply.httpStatus == 403)
        return ForecastFetch::Failure::Refused;
    if (reply.httpStatus >= 500)
        return ForecastFetch::Failure::ServerError;
    return ForecastFetch::Failure::Rejected;
}

} // namespace brisora::gateway
