#include "FailedFetch.h"

namespace brisora::gateway {
namespace {

ForecastFetch::Failure failureOf(const UpstreamReply& reply)
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

} // namespace

ForecastFetch failedFetch(const UpstreamReply& reply, const UpstreamGate& gate)
{
    ForecastFetch fetch{std::nullopt, reply.error, failureOf(reply), {}};
    // A 429 "Too many concurrent requests" asked again too often leaves the gate open.
    if (gate.isClosed())
        fetch.closedUntil = gate.closedUntil();
    return fetch;
}

} // namespace brisora::gateway
