#pragma once

#include "PlatformServices.h"
#include "frmMain.h"
#include "support/FakeScreenMetrics.h"
#include "support/FakeSettingsStorage.h"
#include "support/FakeStartAtLogon.h"
#include "support/FakeTcpClient.h"
#include "support/FakeTrayIconService.h"
#include "support/WindowLookup.h"

#include <memory>
#include <string>

namespace brisora::test {

/// A main window on fakes, used only to show what a reply handed to ParseWeather puts on
/// screen: the fault tests run the fetch on the real socket, then look at the panel here.
class PanelProbe
{
public:
    PanelProbe()
        : services_{[] { return std::make_unique<FakeTcpClient>(); },
                    tray_,
                    storage_,
                    screen_,
                    logon_,
                    QStringLiteral("/opt/brisora/brisora"),
                    "127.0.0.1:8417",
                    "127.0.0.1:8417",
                    "1.25"},
          form_(std::make_unique<frmMain>(module_, services_))
    {
        module_.Settings.UseCelsius = 1;
    }

    /// The panel's text after `reply` has been parsed.
    QString show(const std::string& reply, const char* labelName)
    {
        form_->ClearWeather();
        form_->ParseWeather(reply);
        return label(*form_, labelName)->text();
    }

private:
    FakeTrayIconService tray_;
    FakeSettingsStorage storage_;
    FakeScreenMetrics screen_;
    FakeStartAtLogon logon_;
    PlatformServices services_;
    Module1 module_;
    std::unique_ptr<frmMain> form_;
};

} // namespace brisora::test
