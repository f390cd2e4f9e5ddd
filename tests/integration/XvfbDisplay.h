#pragma once

#include "integration/ChildProcess.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <xcb/xcb.h>

namespace brisora::test {

/// A virtual X server of the test's own, for what only a real display can do (a pointer
/// click, a window manager, a tray). It picks a free display number itself, so parallel tests never
/// share one.
class XvfbDisplay
{
public:
    /// True when Xvfb and xdotool are installed.
    static bool available()
    {
        return std::system("command -v Xvfb >/dev/null 2>&1 && "
                           "command -v xdotool >/dev/null 2>&1") == 0;
    }

    XvfbDisplay()
    {
        // Xvfb writes its display number once it accepts connections. Without -noreset it
        // resets whenever its last client leaves and refuses whoever connects meanwhile.
        std::string number;
        server_ = ChildProcess::announcing(
            "Xvfb",
            {"-displayfd", "3", "-nolisten", "tcp", "-noreset", "-screen", "0", "1024x768x24"},
            number);
        if (!number.empty())
            name_ = ":" + number;
    }

    /// True when openbox and trayer are installed as well.
    static bool desktopAvailable()
    {
        return available() && std::system("command -v openbox >/dev/null 2>&1 && "
                                          "command -v trayer >/dev/null 2>&1") == 0;
    }

    /// Starts a window manager (openbox) and a notification area (trayer) on the display;
    /// true once the notification area serves icons.
    bool startDesktop()
    {
        // trayer places its panel through the window manager: the manager comes first.
        return startWindowManagerOnly() && startTray();
    }

    /// Starts a notification area (trayer) beside a running window manager; true once it
    /// serves icons.
    bool startTray()
    {
        // A program finds the tray by the selection's owner, which comes after the panel's
        // window: wait for the owner.
        tray_ = std::make_unique<ChildProcess>(
            "trayer", std::vector<std::string>{"--edge", "bottom", "--width", "10"},
            environment({}));
        return pollUntil([&] { return selectionOwned("_NET_SYSTEM_TRAY_S0"); },
                         std::chrono::seconds(10));
    }

    /// Ends the notification area, as a panel that quits or crashes.
    void stopTray() { tray_.reset(); }

    /// True while the window manager manages `window` (xdotool's decimal id): it has a
    /// task-bar button then, even while minimized.
    bool managed(const std::string& window) const
    {
        std::ostringstream hex;
        hex << "0x" << std::hex << std::stoul(window);
        const std::string list =
            commandOutput("DISPLAY=" + name_ + " xprop -root _NET_CLIENT_LIST 2>/dev/null") + ",";
        return list.find(' ' + hex.str() + ',') != std::string::npos;
    }

    /// True once the notification area holds a window named `name` (a program's XEmbed
    /// icon is named after the program); false if none within `timeout`.
    bool trayHolds(const std::string& name, std::chrono::milliseconds timeout) const
    {
        return pollUntil(
            [&] {
                const std::string panel = xdotool("search --onlyvisible --class '^trayer$'");
                return !panel.empty() &&
                       commandOutput("DISPLAY=" + name_ + " xwininfo -tree -id " +
                                     panel.substr(0, panel.find('\n')) + " 2>/dev/null")
                               .find('"' + name + '"') != std::string::npos;
            },
            timeout);
    }

    /// True while some client owns the X selection `selection`.
    bool selectionOwned(const std::string& selection) const
    {
        xcb_connection_t* connection = xcb_connect(name_.c_str(), nullptr);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, selection.size(), selection.c_str()),
            nullptr);
        xcb_get_selection_owner_reply_t* owner =
            atom ? xcb_get_selection_owner_reply(
                       connection, xcb_get_selection_owner(connection, atom->atom), nullptr)
                 : nullptr;
        const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
        std::free(atom);
        xcb_disconnect(connection);
        return owned;
    }

    bool ready() const { return !name_.empty(); }
    /// ":N", for DISPLAY.
    const std::string& name() const { return name_; }

    /// Runs xdotool on this display; its standard output, trailing newline removed.
    std::string xdotool(const std::string& arguments) const
    {
        return commandOutput("DISPLAY=" + name_ + " xdotool " + arguments + " 2>/dev/null");
    }

    /// Starts a window manager (openbox) alone on the display: a desktop without a tray.
    /// True once it manages windows (a window mapped before that may stay unmanaged).
    bool startWindowManagerOnly()
    {
        // On a loaded machine openbox now and then fails to open a display that has just
        // reported ready, and ends: start it again rather than wait out the whole timeout.
        for (int attempt = 0; attempt < 3; ++attempt) {
            windowManager_ = std::make_unique<ChildProcess>(
                "openbox", std::vector<std::string>{"--sm-disable"}, environment({}));
            bool ended = false;
            const bool managing = pollUntil(
                [&] {
                    ended = windowManager_->waitForExit(std::chrono::milliseconds(0)).has_value();
                    return ended ||
                           commandOutput("DISPLAY=" + name_ +
                                         " xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null")
                                   .find("window id") != std::string::npos;
                },
                std::chrono::seconds(20));
            if (managing && !ended)
                return true;
        }
        return false;
    }

    /// `extra` and DISPLAY for a program on this display.
    std::vector<std::string> environment(std::vector<std::string> extra) const
    {
        extra.push_back("DISPLAY=" + name_);
        return extra;
    }

    /// The id of the visible window titled exactly `title`, once there is one; empty if none
    /// shows within `timeout`.
    std::string visibleWindow(const std::string& title,
                              std::chrono::milliseconds timeout = std::chrono::seconds(20)) const
    {
        std::string id;
        pollUntil(
            [&] {
                return !(id = xdotool("search --onlyvisible --name '^" + title + "$'")).empty();
            },
            timeout);
        return id.substr(0, id.find('\n'));
    }

    /// True once no visible window is titled exactly `title`; false if one still shows
    /// after `timeout`.
    bool noVisibleWindow(const std::string& title, std::chrono::milliseconds timeout) const
    {
        return pollUntil(
            [&] { return xdotool("search --onlyvisible --name '^" + title + "$'").empty(); },
            timeout);
    }

    /// The value of `window`'s property `name` as xprop shows it ("NAME(TYPE) = value"), or
    /// xprop's word that it is not set.
    std::string property(const std::string& window, const std::string& name) const
    {
        return commandOutput("DISPLAY=" + name_ + " xprop -id " + window + " " + name +
                             " 2>/dev/null");
    }

    /// A window's place and size in pixels: X, Y, WIDTH, HEIGHT as xdotool names them.
    std::map<std::string, int> geometry(const std::string& window) const
    {
        std::map<std::string, int> values;
        std::istringstream lines(xdotool("getwindowgeometry --shell " + window));
        for (std::string line; std::getline(lines, line);) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos && line.compare(0, equals, "WINDOW") != 0 &&
                line.compare(0, equals, "SCREEN") != 0)
                values[line.substr(0, equals)] = std::stoi(line.substr(equals + 1));
        }
        return values;
    }

private:
    std::unique_ptr<ChildProcess> server_;
    // Declared after the server, so they end before it does.
    std::unique_ptr<ChildProcess> windowManager_;
    std::unique_ptr<ChildProcess> tray_;
    std::string name_;
};

} // namespace brisora::test
