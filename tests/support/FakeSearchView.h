#pragma once

#include "SearchView.h"

namespace brisora::test {

/// The options dialog as the place search sees it: the typed words, the status line, the
/// "Okay" button and which control took the focus (by its object name).
class FakeSearchView final : public SearchView
{
public:
    QString searchWords() const override { return words; }
    void setStatusText(const QString& text) override { status = text; }
    void setOkayEnabled(bool enabled) override { okay = enabled; }
    bool okayEnabled() const override { return okay; }
    void focusOkay() override { focus = QStringLiteral("cmdOK"); }
    void focusWords() override { focus = QStringLiteral("txtWord"); }

    QString words;
    QString status;
    bool okay = true;
    QString focus;
};

} // namespace brisora::test
