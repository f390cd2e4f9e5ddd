#pragma once

#include "FeedService.h"
#include "GatewayOptions.h"
#include "HttpServer.h"
#include "LastGoodStore.h"
#include "PlaceStore.h"
#include "WeatherSource.h"

#include <QString>
#include <memory>

namespace brisora::gateway {

/// The whole service put together from its options: source, stores, caches and server.
class Gateway
{
public:
    explicit Gateway(const GatewayOptions& options);
    ~Gateway();

    /// Starts serving; false with `error` filled when the address cannot be bound.
    bool start(QString& error);
    quint16 port() const { return m_server->serverPort(); }

    /// The User-Agent the live source sends: name, version and the project's address, then
    /// `contact` (the operator's) when there is one.
    static QByteArray userAgent(const QString& contact);

private:
    GatewayOptions m_options;
    std::unique_ptr<WeatherSource> m_source;
    std::unique_ptr<PlaceStore> m_places;
    std::unique_ptr<LastGoodStore> m_lastGood;
    std::unique_ptr<FeedService> m_service;
    std::unique_ptr<HttpServer> m_server;
};

} // namespace brisora::gateway
