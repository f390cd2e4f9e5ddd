#pragma once
// Windows only.

#include "ProgramPlaces.h"

namespace brisora {

/// ProgramPlaces of Windows, from the shell's known folders: programs installed under
/// Program Files, Program Files (x86) or the user's %LOCALAPPDATA%\Programs; the settings in
/// %APPDATA%\Brisora (which roams with the user), the lock in %LOCALAPPDATA%\Brisora (which
/// stays on the machine). Paths compare without case, as the file system does.
class WindowsProgramPlaces final : public ProgramPlaces
{
public:
    QStringList installFolders() const override;
    Qt::CaseSensitivity pathCase() const override { return Qt::CaseInsensitive; }
    QString perUserSettingsFile() const override;
    QString runtimeFolder() const override;
    /// Creates a file in `folder` and removes it again: NTFS access lists decide, which the
    /// file's attributes (all that Qt's isWritable() reads there) do not show.
    bool acceptsNewFiles(const QString& folder) const override;
};

} // namespace brisora
