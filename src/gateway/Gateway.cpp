#include "Gateway.h"

#include "DemoSource.h"
#include "OpenMeteoSource.h"

#include <QCoreApplication>
#include <algorithm>

namespace brisora::gateway {

Gateway::Gateway(const GatewayOptions& options) : m_options(options)
{
    const bool demo = options.source == GatewayOptions::Source::Demo;
    if (demo) {
        m_source = std::make_unique<DemoSource>(systemClock());
    } else {
        UpstreamClient::Limits limits;
        limits.timeout = options.upstreamTimeout;
        m_source = std::make_unique<OpenMeteoSource>(
            std::make_unique<UpstreamClient>(limits, userAgent(), systemClock()),
            options.forecastUrl, options.geocodingUrl, systemClock());
    }
    // Demo data is made up on the spot: nothing of it is worth a file.
    const QString cacheDir = demo ? QString() : options.cacheDir;
    m_places = std::make_unique<PlaceStore>(cacheDir);
    m_lastGood = std::make_unique<LastGoodStore>(cacheDir);
    FeedService::Timing timing;
    timing.forecastFresh = options.forecastFresh;
    timing.forecastUsable = std::max(timing.forecastUsable, timing.forecastFresh);
    m_service =
        std::make_unique<FeedService>(*m_source, *m_places, *m_lastGood, systemClock(), timing);
    m_server = std::make_unique<HttpServer>(*m_service, HttpServer::Limits{});
    if (options.exitWhenIdle)
        m_idleExit = std::make_unique<IdleExit>(*m_server, *m_service, *options.exitWhenIdle,
                                                [] { QCoreApplication::quit(); });
}

// Out of line: members are destroyed idle watch and server first, source last, so no connection or
// callback outlives what it refers to.
Gateway::~Gateway() = default;

bool Gateway::start(QString& error)
{
    if (m_server->listen(m_options.listenAddress, m_options.listenPort))
        return true;
    error = m_server->errorString();
    return false;
}

bool Gateway::startOn(int descriptor, QString& error)
{
    if (m_server->adopt(descriptor))
        return true;
    error = m_server->errorString();
    return false;
}

QByteArray Gateway::userAgent()
{
    return QByteArrayLiteral("brisora-gateway/") +
           QCoreApplication::applicationVersion().toLatin1() +
           QByteArrayLiteral(" (Brisora desktop weather widget gateway)");
}

} // namespace brisora::gateway
