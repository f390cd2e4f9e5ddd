#include "Gateway.h"

#include "DemoSource.h"
#include "FailoverSource.h"
#include "MetNorwaySource.h"
#include "OpenFileLimit.h"
#include "OpenMeteoSource.h"
#include "ZoneFolder.h"

#include <QCoreApplication>
#include <algorithm>

namespace brisora::gateway {
namespace {

// Descriptors besides the clients': standard streams, the listening socket, upstream
// requests, cache files and the event loop's own.
constexpr long otherDescriptors = 64;

/// An Open-Meteo source as the log names it: with its forecast host when two of them serve.
QString openMeteoName(const QUrl& forecastUrl, bool twoOfThem)
{
    if (!twoOfThem)
        return QStringLiteral("open-meteo");
    const QString port =
        forecastUrl.port() < 0 ? QString() : QStringLiteral(":%1").arg(forecastUrl.port());
    return QStringLiteral("open-meteo at ") + forecastUrl.host() + port;
}

} // namespace

Gateway::Gateway(const GatewayOptions& options, const GatewayLog& log)
    : m_options(options), m_zones(std::make_unique<ZoneDatabase>(ZoneFolder::system(), log))
{
    const bool demo = options.source == GatewayOptions::Source::Demo;
    if (demo) {
        m_source = std::make_unique<DemoSource>(systemClock(), *m_zones);
    } else {
        UpstreamClient::Limits limits;
        limits.timeout = options.upstreamTimeout;
        const QByteArray agent = userAgent(options.contact);
        // The two sources own their clients, so neither's replies outlive it.
        auto landmarks = std::make_unique<NominatimGeocoder>(
            std::make_unique<UpstreamClient>(limits, agent, systemClock(), log),
            options.nominatimUrl, systemClock());
        const bool twoOpenMeteos = options.source == GatewayOptions::Source::OpenMeteo &&
                                   options.fallback == GatewayOptions::Fallback::OpenMeteo;
        const bool metFirst = options.source == GatewayOptions::Source::MetNorway;
        auto openMeteo = [&](const QUrl& forecastUrl, std::unique_ptr<NominatimGeocoder> osm) {
            return std::make_unique<OpenMeteoSource>(
                std::make_unique<UpstreamClient>(limits, agent, systemClock(), log), forecastUrl,
                options.geocodingUrl, systemClock(), std::move(osm), options.openMeteoApiKey);
        };
        // MET has no geocoder: places are Open-Meteo's (and OpenStreetMap's) whichever source
        // the forecasts come from. A first MET asks an Open-Meteo kept here for them; a second
        // has none, its first being the Open-Meteo that failed.
        auto metNorway = [&](WeatherSource* places) {
            m_forecastCopies = std::make_unique<ForecastCopyStore>(
                options.cacheDir.isEmpty() ? QString()
                                           : options.cacheDir + QStringLiteral("/met-norway"));
            return std::make_unique<MetNorwaySource>(
                std::make_unique<UpstreamClient>(MetNorwaySource::clientLimits(limits), agent,
                                                 systemClock(), log),
                options.metNorwayUrl, places, *m_forecastCopies, *m_zones, systemClock(), log);
        };
        FailoverSource::Member first;
        if (metFirst) {
            m_placeSource = openMeteo(options.fallbackForecastUrl, std::move(landmarks));
            first = {metNorway(m_placeSource.get()), QStringLiteral("met-norway")};
        } else {
            first = {openMeteo(options.forecastUrl, std::move(landmarks)),
                     openMeteoName(options.forecastUrl, twoOpenMeteos)};
        }
        FailoverSource::Member second;
        switch (options.fallback) {
        case GatewayOptions::Fallback::None:
            break;
        case GatewayOptions::Fallback::OpenMeteo:
            // Its geocoder is the first's: it is asked only when the first could not be, and
            // OpenStreetMap's has been asked by then.
            second = {openMeteo(options.fallbackForecastUrl, nullptr),
                      openMeteoName(options.fallbackForecastUrl, twoOpenMeteos)};
            break;
        case GatewayOptions::Fallback::MetNorway:
            second = {metNorway(nullptr), QStringLiteral("met-norway")};
            break;
        }
        if (second.source) {
            m_fallbackName = second.name;
            m_source = std::make_unique<FailoverSource>(
                std::move(first), std::move(second), systemClock(), log, FailoverSource::Timing{});
        } else {
            m_source = std::move(first.source);
        }
    }
    // Demo data is made up on the spot: nothing of it is worth a file.
    const QString cacheDir = demo ? QString() : options.cacheDir;
    m_places = std::make_unique<PlaceStore>(cacheDir);
    m_lastGood = std::make_unique<LastGoodStore>(cacheDir);
    FeedService::Timing timing;
    timing.forecastFresh = options.forecastFresh;
    timing.forecastUsable = std::max(timing.forecastUsable, timing.forecastFresh);
    m_service = std::make_unique<FeedService>(*m_source, *m_places, *m_lastGood, *m_zones,
                                              systemClock(), timing, log);
    HttpServer::Limits serverLimits;
    // Past the descriptor limit, accepting fails and nobody new is served; below it, the
    // longest-waiting connection makes room for a new one.
    if (const long openFiles = raiseOpenFileLimit(); openFiles > 0)
        serverLimits.maxConnections = static_cast<int>(
            std::clamp(openFiles - otherDescriptors, 1L, long{serverLimits.maxConnections}));
    m_connectionLimit = serverLimits.maxConnections;
    m_server = std::make_unique<HttpServer>(*m_service, serverLimits, log);
    if (options.exitWhenIdle)
        m_idleExit = std::make_unique<IdleExit>(*m_server, *m_service, *options.exitWhenIdle, log,
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

QByteArray Gateway::userAgent(const QString& contact)
{
    QByteArray agent = QByteArrayLiteral("brisora-gateway/") +
                       QCoreApplication::applicationVersion().toLatin1() +
                       QByteArrayLiteral(" (+https://brisora.org");
    if (!contact.isEmpty())
        agent += QByteArrayLiteral("; ") + contact.toLatin1();
    return agent + ')';
}

} // namespace brisora::gateway
