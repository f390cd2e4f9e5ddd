#pragma once

#include "GatewayReply.h"
#include "GatewayRequest.h"

#include <functional>

namespace brisora::gateway {

/// What the HTTP server answers through: one parsed request in, one reply out.
class RequestHandler
{
public:
    using Respond = std::function<void(GatewayReply)>;

    virtual ~RequestHandler() = default;

    /// Answers `request` by calling `respond` exactly once, now or later on the event loop;
    /// `respond` may outlive the connection that asked and must then do nothing harmful.
    virtual void handle(const GatewayRequest& request, Respond respond) = 0;

protected:
    RequestHandler() = default;
    RequestHandler(const RequestHandler&) = default;
    RequestHandler& operator=(const RequestHandler&) = default;
};

} // namespace brisora::gateway
