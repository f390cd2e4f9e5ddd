#pragma once

#include "SettingsStorage.h"

namespace brisora {

/// SettingsStorage on the real file system.
class FileSettingsStorage final : public SettingsStorage
{
public:
    /// `executableDir` is the folder of the running program.
    explicit FileSettingsStorage(QString executableDir);

    QString besideExecutablePath() const override;
    QString perUserPath() const override;
    std::optional<QByteArray> read(const QString& path) const override;
    bool writeAtomically(const QString& path, const QByteArray& bytes) override;

private:
    QString executableDir_;
};

} // namespace brisora
