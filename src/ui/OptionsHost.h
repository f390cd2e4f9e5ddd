#pragma once

namespace brisora {

/// What an options dialog asks of the main window.
class OptionsHost
{
public:
    virtual ~OptionsHost() = default;

    /// Drops any fetch under way and starts a new one from Settings.
    virtual void RefreshOptions() = 0;
    /// Brings Settings up to date from the window and the fetch (whose place and units it
    /// takes), and writes the settings file.
    virtual void SaveConfig() = 0;
    /// Enables or disables the popup menu's Open item.
    virtual void setOpenItemEnabled(bool enabled) = 0;
    /// Puts the main window back on screen where it was hidden.
    virtual void showMainWindow() = 0;
};

} // namespace brisora
