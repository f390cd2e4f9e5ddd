// The task-bar entry as the Windows shell reads it: the extended style of a real native
// window (under Wine, one that Wine's user32 keeps), through shows, hides and the flag changes
// after which Qt writes the whole style anew. Its own entry point: the Windows platform, not
// the offscreen one, which has no native windows.
#include "win/WindowsDesktopHints.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

using namespace brisora;
using Entry = WindowDesktopHints::TaskBarEntry;

namespace {

LONG_PTR extendedStyle(QWidget& window)
{
    return GetWindowLongPtrW(reinterpret_cast<HWND>(window.winId()), GWL_EXSTYLE);
}

/// Whether the shell gives `window` a task-bar button when it is shown.
bool hasTaskBarButton(QWidget& window)
{
    const LONG_PTR style = extendedStyle(window);
    return (style & WS_EX_APPWINDOW) && !(style & WS_EX_TOOLWINDOW);
}

bool isToolWindow(QWidget& window)
{
    const LONG_PTR style = extendedStyle(window);
    return (style & WS_EX_TOOLWINDOW) && !(style & WS_EX_APPWINDOW);
}

bool nativelyVisible(QWidget& window)
{
    return IsWindowVisible(reinterpret_cast<HWND>(window.winId()));
}

} // namespace

TEST(WindowsDesktopHints, ToolWindowWhileSkippedThroughFlagChangesAndAnAppWindowWhenListed)
{
    // Frameless and top-most, as the widget starts.
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.resize(207, 331);
    WindowsDesktopHints hints;
    hints.setWidgetHints(window, Entry::Skipped); // before Qt made the native window
    window.show();
    ASSERT_TRUE(nativelyVisible(window));
    EXPECT_TRUE(isToolWindow(window));

    // Top-most off and on again, as the options do it: Qt writes the style anew, the show
    // puts the tool window back.
    for (const bool topMost : {false, true}) {
        window.setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
        window.show();
        EXPECT_TRUE(isToolWindow(window)) << "top-most " << topMost;
        EXPECT_EQ((extendedStyle(window) & WS_EX_TOPMOST) != 0, topMost);
    }

    // The tray goes and comes back while the window is shown: it stays shown throughout.
    hints.setWidgetHints(window, Entry::Listed);
    EXPECT_TRUE(hasTaskBarButton(window));
    EXPECT_TRUE(nativelyVisible(window));
    EXPECT_TRUE(window.isVisible());
    hints.setWidgetHints(window, Entry::Skipped);
    EXPECT_TRUE(isToolWindow(window));
    EXPECT_TRUE(nativelyVisible(window));

    window.hide();
    hints.setWidgetHints(window, Entry::Listed);
    EXPECT_FALSE(nativelyVisible(window)) << "a hidden window stays hidden";
    window.show();
    EXPECT_TRUE(hasTaskBarButton(window));
}

int main(int argc, char* argv[])
{
    // Whatever platform the test run asks the other tests for (the offscreen one has no
    // native windows).
    qputenv("QT_QPA_PLATFORM", "windows");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
