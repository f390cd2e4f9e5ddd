#pragma once

#include "integration/ChildProcess.h"

#include <memory>
#include <poll.h>
#include <string>

namespace brisora::test {

/// A virtual X server of the test's own, for what only a real display can do (a pointer
/// click). It picks a free display number itself, so parallel tests never share one.
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
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        server_ = std::make_unique<ChildProcess>(
            "Xvfb",
            std::vector<std::string>{"-displayfd", "3", "-nolisten", "tcp", "-screen", "0",
                                     "1024x768x24"},
            std::vector<std::string>{}, ready[1]);
        ::close(ready[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        pollfd wait{ready[0], POLLIN, 0};
        char c = 0;
        while (::poll(&wait, 1, 10000) == 1 && ::read(ready[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(ready[0]);
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
    /// true once the notification area has its window.
    bool startDesktop()
    {
        const std::vector<std::string> environment{"DISPLAY=" + name_};
        windowManager_ = std::make_unique<ChildProcess>(
            "openbox", std::vector<std::string>{"--sm-disable"}, environment);
        tray_ = std::make_unique<ChildProcess>(
            "trayer", std::vector<std::string>{"--edge", "bottom", "--width", "10"}, environment);
        for (int attempt = 0; attempt < 400; ++attempt) { // up to ten seconds
            if (!xdotool("search --class trayer").empty())
                return true;
            ::usleep(25000);
        }
        return false;
    }

    bool ready() const { return !name_.empty(); }
    /// ":N", for DISPLAY.
    const std::string& name() const { return name_; }

    /// Runs xdotool on this display; its standard output, trailing newline removed.
    std::string xdotool(const std::string& arguments) const
    {
        return commandOutput("DISPLAY=" + name_ + " xdotool " + arguments + " 2>/dev/null");
    }

private:
    std::unique_ptr<ChildProcess> server_;
    // Declared after the server, so they end before it does.
    std::unique_ptr<ChildProcess> windowManager_;
    std::unique_ptr<ChildProcess> tray_;
    std::string name_;
};

} // namespace brisora::test
