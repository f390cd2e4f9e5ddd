#pragma once

#include "Place.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// Places and place searches, kept for good: in memory, and on disk under `directory`
/// when one is given (one small JSON file per place and per search). Files that cannot be
/// read are ignored; files that cannot be written only lose the disk copy.
class PlaceStore
{
public:
    /// An empty `directory` keeps everything in memory only.
    explicit PlaceStore(QString directory);

    std::optional<Place> place(const QString& placeId);
    void storePlace(const Place& place);

    /// The places last found for `words` (compared without regard to case and blanks); an
    /// empty list when the search was stored as finding nothing.
    std::optional<QList<Place>> search(const QString& words);
    /// Keeps the places found for `words` (none, for a search known to find nothing).
    void storeSearch(const QString& words, const QList<Place>& places);

private:
    QString placePath(const QString& placeId) const;
    QString searchPath(const QString& key) const;

    QString m_directory;
    QHash<QString, Place> m_places;
    QHash<QString, QList<Place>> m_searches;
};

} // namespace brisora::gateway
