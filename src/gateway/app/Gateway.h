#pragma once

#include "FeedService.h"
#include "ForecastCopyStore.h"
#include "GatewayLog.h"
#include "GatewayOptions.h"
#include "HttpServer.h"
#include "IdleExit.h"
#include "LastGoodStore.h"
#include "PlaceStore.h"
#include "WeatherSource.h"
#include "ZoneDatabase.h"

#include <QString>
#include <memory>

namespace brisora::gateway {

/// The whole service put together from its options: source, stores, caches and server, all
/// writing to `log`. Raises the process's limit on open files, and keeps its connections
/// within it.
class Gateway
{
public:
    Gateway(const GatewayOptions& options, const GatewayLog& log);
    ~Gateway();

    /// Starts serving on the address of the options; false with `error` filled when it
    /// cannot be bound.
    bool start(QString& error);
    /// Starts serving on `descriptor`, a socket already listening (handed over by the
    /// service manager), instead of the address of the options.
    bool startOn(int descriptor, QString& error);
    QHostAddress address() const { return m_server->serverAddress(); }
    quint16 port() const { return m_server->serverPort(); }
    int connectionLimit() const { return m_connectionLimit; }
    /// The source asked when the first fails or is slow, as the log names it; "none".
    QString fallbackName() const { return m_fallbackName; }

    /// The User-Agent the live source sends: name, version and the project's address, then
    /// `contact` (the operator's) when there is one.
    static QByteArray userAgent(const QString& contact);

private:
    GatewayOptions m_options;
    int m_connectionLimit = 0;
    QString m_fallbackName = QStringLiteral("none");
    std::unique_ptr<ZoneDatabase> m_zones;
    std::unique_ptr<WeatherSource> m_placeSource;        // the places of a first MET Norway
    std::unique_ptr<ForecastCopyStore> m_forecastCopies; // MET Norway's kept documents
    std::unique_ptr<WeatherSource> m_source;
    std::unique_ptr<PlaceStore> m_places;
    std::unique_ptr<LastGoodStore> m_lastGood;
    std::unique_ptr<FeedService> m_service;
    std::unique_ptr<HttpServer> m_server;
    std::unique_ptr<IdleExit> m_idleExit;
};

} // namespace brisora::gateway
