#pragma once

#include <QString>

#include <string>

namespace brisora {

/// What the weather fetch touches on the main window.
class FetchView
{
public:
    virtual ~FetchView() = default;

    /// Blanks the weather panel (not the title, not the progress row).
    virtual void ClearWeather() = 0;
    /// Hands over a completed reply, raw bytes, headers included.
    virtual void ParseWeather(const std::string& reply) = 0;
    virtual void setTitleCaption(const QString& caption) = 0;
    virtual QString barCaption() const = 0;
    virtual void setBarCaption(const QString& caption) = 0;
    /// Shows "network error" where the first forecast line goes.
    virtual void showNetworkError() = 0;
};

} // namespace brisora
