#pragma once

#include <QString>
#include <QStringList>

namespace brisora {

/// Where this system keeps installed programs and each user's own files: what decides the
/// widget's settings file and where its one-widget lock goes. Paths have forward slashes, as
/// Qt names files.
class ProgramPlaces
{
public:
    virtual ~ProgramPlaces() = default;

    /// Folders below which a program is an installed copy, whose settings are the user's own.
    virtual QStringList installFolders() const = 0;
    /// Whether two paths that differ only in case name different files.
    virtual Qt::CaseSensitivity pathCase() const = 0;
    /// The settings file of an installed copy, and of one whose folder takes no new file.
    virtual QString perUserSettingsFile() const = 0;
    /// The folder of the one-widget lock, made when it is missing.
    virtual QString runtimeFolder() const = 0;
    /// Whether this user can create a file in `folder` now.
    virtual bool acceptsNewFiles(const QString& folder) const = 0;
};

} // namespace brisora
