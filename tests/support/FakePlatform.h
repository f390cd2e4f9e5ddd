#pragma once

#include "PlatformServices.h"
#include "support/FakeBootClock.h"
#include "support/FakeScreenMetrics.h"
#include "support/FakeSettingsStorage.h"
#include "support/FakeStartAtLogon.h"
#include "support/FakeTcpClient.h"
#include "support/FakeTrayIconService.h"
#include "support/FakeWindowDesktopHints.h"

#include <vector>

namespace brisora::test {

/// Every platform service faked, bundled as the windows take them. Each socket handed out
/// is remembered in `sockets`, oldest first; it stays owned by whoever asked for it.
struct FakePlatform
{
    FakePlatform() = default;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeTrayIconService tray;
    FakeSettingsStorage storage;
    FakeScreenMetrics screen;
    FakeStartAtLogon logon;
    FakeWindowDesktopHints desktopHints;
    FakeBootClock clock;
    std::vector<FakeTcpClient*> sockets;
    PlatformServices services{[this] {
                                  auto socket = std::make_unique<FakeTcpClient>();
                                  sockets.push_back(socket.get());
                                  return socket;
                              },
                              tray,
                              storage,
                              screen,
                              logon,
                              desktopHints,
                              clock,
                              QStringLiteral("/opt/brisora/brisora"),
                              "127.0.0.1:8417",
                              "127.0.0.1:8417",
                              "1.25"};

    /// The settings file as it was last written, empty when there is none.
    QByteArray written() const { return storage.files.value(storage.settingsPath()); }
};

} // namespace brisora::test
