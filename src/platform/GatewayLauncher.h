#pragma once

namespace brisora {

/// Starts the local gateway that the widget's feed and place search go to, on a system
/// with no service manager to start it on the first connection.
class GatewayLauncher
{
public:
    virtual ~GatewayLauncher() = default;

    /// Starts one gateway process in the background, unseen, and returns at once. False when
    /// no process could be started (the program missing, say); a gateway that starts but
    /// cannot serve (its port held by something else) ends by itself.
    virtual bool start() = 0;
};

} // namespace brisora
