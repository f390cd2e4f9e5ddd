#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace brisora {

/// Where the settings file lives and how it is read and written.
class SettingsStorage
{
public:
    virtual ~SettingsStorage() = default;

    /// The one settings file of this run, read at start-up and written at "Okay" and at
    /// shutdown. It is decided once, when the storage is made, and never changes while the
    /// program runs.
    virtual QString settingsPath() const = 0;
    /// The file's bytes; nullopt when it is missing or cannot be read.
    virtual std::optional<QByteArray> read(const QString& path) const = 0;
    /// Replaces the file's content through a temporary file in the same folder that is
    /// flushed and renamed over the old one; creates the folder when needed. On any failure
    /// the old file stays as it was and false is returned.
    virtual bool writeAtomically(const QString& path, const QByteArray& bytes) = 0;
};

} // namespace brisora
