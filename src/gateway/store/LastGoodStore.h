#pragma once

#include "Forecast.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// The last good feed document of each place and units, kept on disk under `directory`
/// so that it can stand in when the source fails, even after a restart. The document keeps
/// the build date it was made with.
class LastGoodStore
{
public:
    /// An empty `directory` keeps nothing.
    explicit LastGoodStore(QString directory);

    std::optional<QByteArray> load(const QString& placeId, Units units) const;
    void save(const QString& placeId, Units units, const QByteArray& document);

private:
    QString path(const QString& placeId, Units units) const;

    QString m_directory;
};

} // namespace brisora::gateway
