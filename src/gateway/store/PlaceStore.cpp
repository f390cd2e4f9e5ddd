#include "PlaceStore.h"

#include "PlaceId.h"
#include "PlaceJson.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace brisora::gateway {
namespace {

QString searchKey(const QString& words)
{
    return words.simplified().toCaseFolded();
}

constexpr qint64 maxFileBytes = 1024 * 1024;
// Past this many entries the memory copy starts afresh; the disk keeps everything.
constexpr qsizetype maxRemembered = 10'000;

template <typename Map> void makeRoom(Map& map)
{
    if (map.size() >= maxRemembered)
        map.clear();
}

std::optional<QJsonDocument> readJsonFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > maxFileBytes)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (document.isNull())
        return std::nullopt;
    return document;
}

void writeJsonFile(const QString& path, const QJsonDocument& document)
{
    if (path.isEmpty())
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(document.toJson(QJsonDocument::Compact));
        file.commit();
    }
}

} // namespace

PlaceStore::PlaceStore(QString directory) : m_directory(std::move(directory)) {}

QString PlaceStore::placePath(const QString& placeId) const
{
    // Only ids of the gateway's own scheme (plain digits) ever become file names.
    if (m_directory.isEmpty() || !PlaceId::parse(placeId.toStdString()))
        return {};
    return m_directory + QStringLiteral("/places/") + placeId + QStringLiteral(".json");
}

QString PlaceStore::searchPath(const QString& key) const
{
    if (m_directory.isEmpty())
        return {};
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex();
    return m_directory + QStringLiteral("/searches/") + QString::fromLatin1(digest) +
           QStringLiteral(".json");
}

std::optional<Place> PlaceStore::place(const QString& placeId)
{
    if (const auto found = m_places.constFind(placeId); found != m_places.cend())
        return *found;
    const std::optional<QJsonDocument> document = readJsonFile(placePath(placeId));
    if (!document)
        return std::nullopt;
    std::optional<Place> place = placeFromJson(document->object());
    if (!place || place->placeId != placeId)
        return std::nullopt;
    makeRoom(m_places);
    m_places.insert(placeId, *place);
    return place;
}

void PlaceStore::storePlace(const Place& place)
{
    makeRoom(m_places);
    m_places.insert(place.placeId, place);
    writeJsonFile(placePath(place.placeId), QJsonDocument(placeToJson(place)));
}

std::optional<QList<Place>> PlaceStore::search(const QString& words)
{
    const QString key = searchKey(words);
    if (const auto found = m_searches.constFind(key); found != m_searches.cend())
        return *found;
    const std::optional<QJsonDocument> document = readJsonFile(searchPath(key));
    if (!document || document->object().value(QLatin1String("words")).toString() != key)
        return std::nullopt;
    const QJsonValue entries = document->object().value(QLatin1String("places"));
    QList<Place> places;
    for (const QJsonValue& entry : entries.toArray()) {
        if (std::optional<Place> place = placeFromJson(entry.toObject()))
            places.append(*place);
    }
    // Only a list stored empty means "nothing found"; one whose entries are all unreadable
    // (or no list at all) is as good as no file.
    if (!entries.isArray() || (places.isEmpty() && !entries.toArray().isEmpty()))
        return std::nullopt;
    makeRoom(m_searches);
    m_searches.insert(key, places);
    return places;
}

void PlaceStore::storeSearch(const QString& words, const QList<Place>& places)
{
    const QString key = searchKey(words);
    makeRoom(m_searches);
    m_searches.insert(key, places);
    QJsonArray entries;
    for (const Place& place : places)
        entries.append(placeToJson(place));
    writeJsonFile(searchPath(key), QJsonDocument(QJsonObject{{QStringLiteral("words"), key},
                                                             {QStringLiteral("places"), entries}}));
}

} // namespace brisora::gateway
