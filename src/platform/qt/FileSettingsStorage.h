#pragma once

#include "SettingsStorage.h"

namespace brisora {

/// SettingsStorage on the real file system.
class FileSettingsStorage final : public SettingsStorage
{
public:
    /// Decides this run's settings file for a program in `executableDir` (see chooseFile);
    /// `executableDirWritable` says whether this user may write there. When the per-user file
    /// is chosen and does not exist yet, it is seeded with the file beside the executable.
    FileSettingsStorage(const QString& executableDir, bool executableDirWritable);

    /// The file a program in `executableDir` uses: the per-user `perUserFile` when the
    /// program is installed under /usr, /usr/local or /opt (even for root, who may write
    /// anywhere) or when it may not write `executableDir`; "brisora.conf" beside it otherwise.
    static QString chooseFile(const QString& executableDir, bool executableDirWritable,
                              const QString& perUserFile);
    /// $XDG_CONFIG_HOME/brisora/brisora.conf, else ~/.config/brisora/brisora.conf.
    static QString perUserFile();

    QString settingsPath() const override { return settingsPath_; }
    std::optional<QByteArray> read(const QString& path) const override;
    bool writeAtomically(const QString& path, const QByteArray& bytes) override;

private:
    QString settingsPath_;
};

} // namespace brisora
