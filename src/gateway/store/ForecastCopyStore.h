#pragma once

#include "ForecastCopy.h"

#include <QHash>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// The kept copies of a source's forecast documents, by key (the coordinates the source was
/// asked for: digits, signs, points and commas), in memory and on disk under `directory`
/// (one file a key), so that they outlive the process: a gateway started on demand may exit
/// long before a copy expires. Files that cannot be read are ignored; files that cannot be
/// written only lose the disk copy.
class ForecastCopyStore
{
public:
    /// An empty `directory` keeps the copies in memory only.
    explicit ForecastCopyStore(QString directory);

    std::optional<ForecastCopy> load(const QString& key);
    void save(const QString& key, const ForecastCopy& copy);

private:
    QString path(const QString& key) const;

    QString m_directory;
    QHash<QString, ForecastCopy> m_copies;
};

} // namespace brisora::gateway
