#include "FailedFetch.h"

namespace brisora::gateway {

ForecastFetch failedFetch(const UpstreamReply& reply, const UpstreamGate& gate)
{
    ForecastFetch fetch{std::nullopt, reply.error};
    switch (reply.outcome) {
    case UpstreamReply::Outcome::RateLimited:
        fetch.failure = ForecastFetch::Failure::RateLimited;
        // A 429 "Too many concurrent requests" asked again too often leaves the gate open.
        if (gate.isClosed())
            fetch.closedUntil = gate.closedUntil();
        break;
    case UpstreamReply::Outcome::HttpError:
        if (reply.httpStatus >= 400 && reply.httpStatus < 500)
            fetch.failure = ForecastFetch::Failure::Rejected;
        break;
    default:
        break;
    }
    return fetch;
}

} // namespace brisora::gateway
