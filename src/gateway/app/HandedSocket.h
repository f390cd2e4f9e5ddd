#pragma once

#include <QString>

namespace brisora::gateway {

/// A listening socket that the service manager opened for this process and handed over
/// (socket activation: LISTEN_PID and LISTEN_FDS in the environment, descriptors from 3).
struct HandedSocket
{
    enum class State
    {
        None,     // nothing was handed over: bind as usual
        Ready,    // `descriptor` is a listening stream socket to serve on
        Unusable, // one was announced but cannot be served on; `error` says why
    };
    State state = State::None;
    int descriptor = -1;
    QString error;
};

/// Takes the first socket handed to this process. The variables count only when LISTEN_PID
/// is this process's id (they may have been inherited from a parent); either way they are
/// removed, so that no child process takes them for its own. Every handed descriptor is
/// marked close-on-exec; those after the first are left unused. Where no service manager
/// hands sockets over (Windows), there is never one.
HandedSocket takeHandedSocket();

} // namespace brisora::gateway
