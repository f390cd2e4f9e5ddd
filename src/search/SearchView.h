#pragma once

#include <QString>

namespace brisora {

/// What the place search touches on the options dialog.
class SearchView
{
public:
    virtual ~SearchView() = default;

    /// The contents of the search box as typed.
    virtual QString searchWords() const = 0;
    /// Replaces the text of the status line.
    virtual void setStatusText(const QString& text) = 0;
    virtual void setOkayEnabled(bool enabled) = 0;
    virtual bool okayEnabled() const = 0;
    /// Gives the keyboard focus to "Okay", so a second Enter confirms the place.
    virtual void focusOkay() = 0;
    /// Gives the keyboard focus back to the search box.
    virtual void focusWords() = 0;
};

} // namespace brisora
