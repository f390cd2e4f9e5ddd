#pragma once

#include "WindowDesktopHints.h"

#include <optional>

class QWidget;

namespace brisora::test {

/// Keeps the hints last given, and the window they were given for.
class FakeWindowDesktopHints final : public WindowDesktopHints
{
public:
    void setWidgetHints(QWidget& window, TaskBarEntry entry) override
    {
        hintedWindow = &window;
        taskBarEntry = entry;
    }

    const QWidget* hintedWindow = nullptr;
    std::optional<TaskBarEntry> taskBarEntry;
};

} // namespace brisora::test
