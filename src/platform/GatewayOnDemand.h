#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace brisora {

class BootClock;
class GatewayLauncher;

/// When should a refused connection start the gateway: when it was refused on this
/// machine's loopback, where the widget's own gateway serves, and no start was tried in the
/// last 30 seconds (a gateway takes a moment to listen, and one that cannot start must not
/// be tried on every attempt). A gateway that answers is used as it is, whoever started it.
class GatewayOnDemand
{
public:
    static constexpr std::chrono::seconds kPauseBetweenStarts{30};

    /// `refusedError` is the socket's error number for a refused connection on this system.
    GatewayOnDemand(GatewayLauncher& launcher, const BootClock& clock, int refusedError);

    /// A connection to `host` failed with `error`: starts the gateway if the rule above says
    /// so. True when a start was tried.
    bool connectFailed(const QString& host, int error);

    /// Whether `host` names this machine's loopback: "localhost", 127.0.0.0/8 or ::1.
    static bool isLoopback(const QString& host);

private:
    GatewayLauncher& launcher_;
    const BootClock& clock_;
    const int refusedError_;
    std::optional<std::chrono::milliseconds> lastStart_;
};

} // namespace brisora
