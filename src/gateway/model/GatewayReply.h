#pragma once

#include <QByteArray>

namespace brisora::gateway {

/// What the gateway answers to one request, before the HTTP framing is added. An empty body
/// means a short plain-text reply for `status`.
struct GatewayReply
{
    int status = 200;
    QByteArray body;
};

} // namespace brisora::gateway
