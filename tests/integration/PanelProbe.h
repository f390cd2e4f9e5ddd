#pragma once

#include "frmMain.h"
#include "support/FakePlatform.h"
#include "support/WindowLookup.h"

#include <memory>
#include <string>

namespace brisora::test {

/// A main window on fakes, used only to show what a reply handed to ParseWeather puts on
/// screen: the fault tests run the fetch on the real socket, then look at the panel here.
class PanelProbe : private FakePlatform
{
public:
    PanelProbe() : form_(std::make_unique<frmMain>(module_, services))
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
    Module1 module_;
    std::unique_ptr<frmMain> form_;
};

} // namespace brisora::test
