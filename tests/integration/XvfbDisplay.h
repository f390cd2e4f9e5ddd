#pragma once

#include "integration/ChildProcess.h"

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <poll.h>
#include <sstream>
#include <string>

namespace brisora::test {

/// A virtual X server of the test's own, for what only a real display can do (a pointer
/// click, a window manager, a tray). It picks a free display number itself, so parallel
/// tests never share one.
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

    bool ready() const { return !name_.empty(); }
    /// ":N", for DISPLAY.
    const std::string& name() const { return name_; }

    /// Runs xdotool on this display; its standard output, trailing newline removed.
    std::string xdotool(const std::string& arguments) const
    {
        return command("xdotool " + arguments);
    }

    /// Runs a shell command line on this display; its standard output, trailing newline
    /// removed.
    std::string command(const std::string& line) const
    {
        const std::string command = "DISPLAY=" + name_ + " " + line + " 2>/dev/null";
        std::string out;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            std::array<char, 256> buffer{};
            while (std::fgets(buffer.data(), int(buffer.size()), pipe))
                out += buffer.data();
            ::pclose(pipe);
        }
        while (!out.empty() && out.back() == '\n')
            out.pop_back();
        return out;
    }

    /// Starts `program` with `arguments` on this display; it ends with the display.
    void run(const std::string& program, const std::vector<std::string>& arguments = {})
    {
        clients_.push_back(std::make_unique<ChildProcess>(program, arguments, environment({})));
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
    std::vector<std::unique_ptr<ChildProcess>> clients_; // ended before the server
    std::string name_;
};

} // namespace brisora::test
