#include "LastGoodStore.h"

#include "PlaceId.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace brisora::gateway {
namespace {

constexpr qint64 maxDocumentBytes = 256 * 1024;

} // namespace

LastGoodStore::LastGoodStore(QString directory) : m_directory(std::move(directory)) {}

QString LastGoodStore::path(const QString& placeId, Units units) const
{
    if (m_directory.isEmpty() || !PlaceId::parse(placeId.toStdString()))
        return {};
    return m_directory + QStringLiteral("/forecasts/") + placeId +
           (units == Units::Metric ? QStringLiteral("-c.xml") : QStringLiteral("-f.xml"));
}

std::optional<QByteArray> LastGoodStore::load(const QString& placeId, Units units) const
{
    QFile file(path(placeId, units));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly) ||
        file.size() > maxDocumentBytes)
        return std::nullopt;
    QByteArray document = file.readAll();
    if (document.isEmpty())
        return std::nullopt;
    return document;
}

void LastGoodStore::save(const QString& placeId, Units units, const QByteArray& document)
{
    const QString target = path(placeId, units);
    if (target.isEmpty())
        return;
    QDir().mkpath(m_directory + QStringLiteral("/forecasts"));
    QSaveFile file(target);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(document);
        file.commit();
    }
}

} // namespace brisora::gateway
