#pragma once

#include "SearchView.h"

namespace brisora::test {

/// The options dialog as the place search sees it: the typed words, the status line, the
/// "Okay" button and where the focus went.
class RecordingSearchView final : public SearchView
{
public:
    QString searchWords() const override { return words; }
    void setStatusText(const QString& text) override { status = text; }
    void setOkayEnabled(bool enabled) override { okay = enabled; }
    bool okayEnabled() const override { return okay; }
    void focusOkay() override { focus = QStringLiteral("okay"); }
    void focusWords() override { focus = QStringLiteral("words"); }

    QString words = QStringLiteral("Sao Paulo");
    QString status;
    bool okay = false;
    QString focus;
};

} // namespace brisora::test
