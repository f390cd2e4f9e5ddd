#pragma once

#include "integration/ChildProcess.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace brisora::test {

/// A session bus of the test's own (dbus-daemon), so that no desktop service of the
/// machine answers in it and parallel tests never share one.
class SessionBus
{
public:
    /// True when dbus-daemon is installed.
    static bool available() { return std::system("command -v dbus-daemon >/dev/null 2>&1") == 0; }

    SessionBus()
    {
        // The daemon writes its address once it accepts connections.
        daemon_ = ChildProcess::announcing(
            "dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=3"}, address_);
    }

    bool ready() const { return !address_.empty(); }
    /// For DBUS_SESSION_BUS_ADDRESS.
    const std::string& address() const { return address_; }
    /// "DBUS_SESSION_BUS_ADDRESS=...", for a program on this bus.
    std::string environmentEntry() const { return "DBUS_SESSION_BUS_ADDRESS=" + address_; }

private:
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
};

} // namespace brisora::test
