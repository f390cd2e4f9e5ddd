#pragma once

#include "TrayHostProbe.h"

namespace brisora {

/// TrayHostProbe where the system has one kind of tray, there from the start (Windows):
/// nothing to settle, so Qt's tray is asked at once.
class ImmediateTrayProbe final : public TrayHostProbe
{
    Q_OBJECT
public:
    using TrayHostProbe::TrayHostProbe;

    void start() override;
    bool available() const override;
};

} // namespace brisora
