#pragma once

#include "SettingsStorage.h"

namespace brisora {

class ProgramPlaces;

/// SettingsStorage on the real file system.
class FileSettingsStorage final : public SettingsStorage
{
public:
    /// Decides this run's settings file for a program in `executableDir` on a system laid
    /// out as `places` says (see chooseFile). When the per-user file is chosen and does not
    /// exist yet, it is seeded with the file beside the executable.
    FileSettingsStorage(const QString& executableDir, const ProgramPlaces& places);

    /// The file a program in `executableDir` uses: the per-user file of `places` when the
    /// program is installed (below one of the install folders, even for an administrator, who
    /// may write anywhere) or when no file can be created in `executableDir`; "brisora.conf"
    /// beside it otherwise. Only a program that is not installed tries its folder.
    static QString chooseFile(const QString& executableDir, const ProgramPlaces& places);

    QString settingsPath() const override { return settingsPath_; }
    std::optional<QByteArray> read(const QString& path) const override;
    bool writeAtomically(const QString& path, const QByteArray& bytes) override;

private:
    QString settingsPath_;
};

} // namespace brisora
