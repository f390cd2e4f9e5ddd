#pragma once

#include "WindowDesktopHints.h"

namespace brisora {

/// WindowDesktopHints for desktops whose windows Qt alone describes: the window keeps what
/// Qt gives it (on macOS, its place in the dock too).
class QtWindowDesktopHints final : public WindowDesktopHints
{
public:
    void setWidgetHints(QWidget&, TaskBarEntry) override {}
};

} // namespace brisora
