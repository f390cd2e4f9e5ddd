#pragma once
// Linux only.

#include "ProgramPlaces.h"

namespace brisora {

/// ProgramPlaces of a freedesktop system: programs installed under /usr (/usr/local too) or
/// /opt, the settings in the XDG configuration folder, the lock in the XDG runtime folder.
class PosixProgramPlaces final : public ProgramPlaces
{
public:
    QStringList installFolders() const override;
    Qt::CaseSensitivity pathCase() const override { return Qt::CaseSensitive; }
    /// $XDG_CONFIG_HOME/brisora/brisora.conf, else ~/.config/brisora/brisora.conf.
    QString perUserSettingsFile() const override;
    QString runtimeFolder() const override;
    bool acceptsNewFiles(const QString& folder) const override;
};

} // namespace brisora
