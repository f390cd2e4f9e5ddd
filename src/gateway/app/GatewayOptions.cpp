#include "GatewayOptions.h"

#include "MetNorwaySource.h"
#include "NominatimGeocoder.h"
#include "OpenMeteoSource.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <algorithm>

namespace brisora::gateway {
namespace {

bool parseListen(const QString& text, GatewayOptions& options)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool isNumber = false;
    const uint port = text.mid(colon + 1).toUInt(&isNumber);
    QHostAddress address;
    if (!isNumber || port > 65535 || !address.setAddress(host))
        return false;
    options.listenAddress = address;
    options.listenPort = static_cast<quint16>(port);
    return true;
}

std::optional<QUrl> upstreamUrl(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) ||
        url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return url;
}

/// A contact goes into the User-Agent's comment, so it must not end it early nor split the
/// header.
bool isUsableContact(const QString& contact)
{
    if (contact.size() > 100)
        return false;
    return std::all_of(contact.cbegin(), contact.cend(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7F && c != QLatin1Char('(') &&
               c != QLatin1Char(')');
    });
}

/// The key in the file at `path`, trimmed; empty when it cannot be read or is no key.
QString readApiKey(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString key = QString::fromLatin1(file.read(4096).trimmed());
    const bool usable =
        !key.isEmpty() && key.size() <= 200 && std::all_of(key.cbegin(), key.cend(), [](QChar c) {
            return c.unicode() > 0x20 && c.unicode() < 0x7F;
        });
    return usable ? key : QString();
}

GatewayCommandLine mistake(const QString& what)
{
    return GatewayCommandLine{std::nullopt, what + QStringLiteral("\nTry --help.\n"), 2};
}

} // namespace

GatewayCommandLine parseGatewayCommandLine(const QStringList& arguments,
                                           const QString& defaultCacheDir)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers the Brisora widget's weather feed and place search from a live, keyless "
        "weather source (weather data by Open-Meteo.com or by MET Norway), or from made-up demo "
        "data offline."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption listenOption(
        QStringLiteral("listen"), QStringLiteral("Address and port to serve on."),
        QStringLiteral("ADDR:PORT"), QStringLiteral("127.0.0.1:8417"));
    const QCommandLineOption sourceOption(
        QStringLiteral("source"), QStringLiteral("Weather source: open-meteo, met-norway or demo."),
        QStringLiteral("NAME"), QStringLiteral("open-meteo"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Same as --source demo (no network)."));
    const QCommandLineOption forecastOption(
        QStringLiteral("forecast-url"), QStringLiteral("Forecast endpoint."), QStringLiteral("URL"),
        OpenMeteoSource::defaultForecastUrl().toString());
    const QCommandLineOption geocodingOption(
        QStringLiteral("geocoding-url"),
        QStringLiteral("Geocoder base URL (\"/search\" and \"/get\" are added)."),
        QStringLiteral("URL"), OpenMeteoSource::defaultGeocodingUrl().toString());
    const QCommandLineOption nominatimOption(
        QStringLiteral("nominatim-url"),
        QStringLiteral("OpenStreetMap geocoder base URL (\"/search\" and \"/lookup\" are added), "
                       "asked for landmarks and postcodes the other geocoder does not know."),
        QStringLiteral("URL"), NominatimGeocoder::defaultUrl().toString());
    const QCommandLineOption fallbackOption(
        QStringLiteral("fallback-source"),
        QStringLiteral("Source asked when the first fails or is slow: met-norway, open-meteo or "
                       "none (default: the other live source; none for the demo)."),
        QStringLiteral("NAME"));
    const QCommandLineOption fallbackForecastOption(
        QStringLiteral("fallback-forecast-url"),
        QStringLiteral("Forecast endpoint of an open-meteo fallback."), QStringLiteral("URL"),
        OpenMeteoSource::defaultForecastUrl().toString());
    const QCommandLineOption apiKeyOption(
        QStringLiteral("open-meteo-apikey-file"),
        QStringLiteral("File holding an Open-Meteo API key, sent with every Open-Meteo request."),
        QStringLiteral("PATH"));
    const QCommandLineOption metNorwayOption(
        QStringLiteral("met-norway-url"),
        QStringLiteral("MET Norway's Locationforecast base URL (\"/compact\" is added)."),
        QStringLiteral("URL"), MetNorwaySource::defaultUrl().toString());
    const QCommandLineOption contactOption(
        QStringLiteral("contact"),
        QStringLiteral("Operator's e-mail or web address, added to the User-Agent."),
        QStringLiteral("ADDRESS"));
    const QCommandLineOption cacheOption(QStringLiteral("cache-dir"),
                                         QStringLiteral("Folder for places and last good feeds."),
                                         QStringLiteral("DIR"), defaultCacheDir);
    const QCommandLineOption timeoutOption(
        QStringLiteral("upstream-timeout"),
        QStringLiteral("Time limit of one upstream request, in milliseconds."),
        QStringLiteral("MS"), QStringLiteral("10000"));
    const QCommandLineOption freshOption(
        QStringLiteral("forecast-fresh"),
        QStringLiteral("Seconds a forecast is served without asking the source again."),
        QStringLiteral("SECONDS"), QStringLiteral("600"));
    const QCommandLineOption idleOption(
        QStringLiteral("exit-when-idle"),
        QStringLiteral("End after this many seconds with no client and no upstream request "
                       "(for socket activation)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption logOption(
        QStringLiteral("log-file"),
        QStringLiteral("Append the log to this file, each line after its UTC time, instead of "
                       "standard error; past 1 MiB it becomes PATH.1 and a new one is begun."),
        QStringLiteral("PATH"));
    parser.addOptions({listenOption, sourceOption, demoOption, forecastOption, geocodingOption,
                       nominatimOption, metNorwayOption, fallbackOption, fallbackForecastOption,
                       apiKeyOption, contactOption, cacheOption, timeoutOption, freshOption,
                       idleOption, logOption});

    if (!parser.parse(arguments))
        return mistake(parser.errorText());
    if (parser.isSet(helpOption))
        return GatewayCommandLine{std::nullopt, parser.helpText(), 0};
    if (parser.isSet(versionOption))
        return GatewayCommandLine{std::nullopt,
                                  QCoreApplication::applicationName() + QLatin1Char(' ') +
                                      QCoreApplication::applicationVersion() + QLatin1Char('\n'),
                                  0};
    if (!parser.positionalArguments().isEmpty())
        return mistake(QStringLiteral("Unexpected argument: ") +
                       parser.positionalArguments().first());

    GatewayOptions options;
    if (!parseListen(parser.value(listenOption), options))
        return mistake(QStringLiteral("--listen wants ADDR:PORT, for example 127.0.0.1:8417."));
    const QString source = parser.value(sourceOption);
    if (parser.isSet(demoOption) || source == QLatin1String("demo"))
        options.source = GatewayOptions::Source::Demo;
    else if (source == QLatin1String("met-norway"))
        options.source = GatewayOptions::Source::MetNorway;
    else if (source != QLatin1String("open-meteo"))
        return mistake(QStringLiteral("--source wants open-meteo, met-norway or demo."));
    const std::optional<QUrl> forecastUrl = upstreamUrl(parser.value(forecastOption));
    const std::optional<QUrl> geocodingUrl = upstreamUrl(parser.value(geocodingOption));
    const std::optional<QUrl> nominatimUrl = upstreamUrl(parser.value(nominatimOption));
    const std::optional<QUrl> metNorwayUrl = upstreamUrl(parser.value(metNorwayOption));
    const std::optional<QUrl> fallbackForecastUrl =
        upstreamUrl(parser.value(fallbackForecastOption));
    if (!forecastUrl || !geocodingUrl || !nominatimUrl || !metNorwayUrl || !fallbackForecastUrl)
        return mistake(QStringLiteral("Upstream URLs must be http or https URLs without a query."));
    options.forecastUrl = *forecastUrl;
    options.geocodingUrl = *geocodingUrl;
    options.nominatimUrl = *nominatimUrl;
    options.metNorwayUrl = *metNorwayUrl;
    const bool demo = options.source == GatewayOptions::Source::Demo;
    const QString fallback = parser.value(fallbackOption);
    const bool metFirst = options.source == GatewayOptions::Source::MetNorway;
    if (fallback == QLatin1String("none") || (demo && fallback.isEmpty()))
        options.fallback = GatewayOptions::Fallback::None;
    else if (fallback == QLatin1String("open-meteo") || (metFirst && fallback.isEmpty()))
        options.fallback = GatewayOptions::Fallback::OpenMeteo;
    else if (fallback == QLatin1String("met-norway") || fallback.isEmpty())
        options.fallback = GatewayOptions::Fallback::MetNorway;
    else
        return mistake(QStringLiteral("--fallback-source wants met-norway, open-meteo or none."));
    if (demo && options.fallback != GatewayOptions::Fallback::None)
        return mistake(QStringLiteral("The demo source has no fallback source."));
    if (metFirst && options.fallback == GatewayOptions::Fallback::MetNorway)
        return mistake(QStringLiteral("A met-norway fallback of the met-norway source would ask "
                                      "the same service: give it open-meteo or none."));
    options.fallbackForecastUrl = *fallbackForecastUrl;
    if (options.fallback == GatewayOptions::Fallback::OpenMeteo &&
        options.source == GatewayOptions::Source::OpenMeteo &&
        options.fallbackForecastUrl.matches(options.forecastUrl, QUrl::StripTrailingSlash))
        return mistake(QStringLiteral("An open-meteo fallback of the open-meteo source would ask "
                                      "the same service: give it --fallback-forecast-url, or "
                                      "the source your own --forecast-url."));
    if (parser.isSet(apiKeyOption)) {
        options.openMeteoApiKey = readApiKey(parser.value(apiKeyOption));
        if (options.openMeteoApiKey.isEmpty())
            return mistake(QStringLiteral("--open-meteo-apikey-file wants a readable file holding "
                                          "one key (1 to 200 printable ASCII characters)."));
    }
    options.contact = parser.value(contactOption).trimmed();
    if (!isUsableContact(options.contact))
        return mistake(QStringLiteral("--contact wants at most 100 printable ASCII characters "
                                      "without parentheses."));
    options.cacheDir = parser.value(cacheOption);
    options.logFile = parser.value(logOption);
    bool isNumber = false;
    const int timeoutMs = parser.value(timeoutOption).toInt(&isNumber);
    if (!isNumber || timeoutMs < 1 || timeoutMs > 600'000)
        return mistake(QStringLiteral("--upstream-timeout wants 1 to 600000 milliseconds."));
    options.upstreamTimeout = std::chrono::milliseconds(timeoutMs);
    const int freshSeconds = parser.value(freshOption).toInt(&isNumber);
    if (!isNumber || freshSeconds < 1 || freshSeconds > 86'400)
        return mistake(QStringLiteral("--forecast-fresh wants 1 to 86400 seconds."));
    options.forecastFresh = std::chrono::seconds(freshSeconds);
    if (parser.isSet(idleOption)) {
        const int idleSeconds = parser.value(idleOption).toInt(&isNumber);
        if (!isNumber || idleSeconds < 1 || idleSeconds > 86'400)
            return mistake(QStringLiteral("--exit-when-idle wants 1 to 86400 seconds."));
        options.exitWhenIdle = std::chrono::seconds(idleSeconds);
    }
    return GatewayCommandLine{options, {}, 0};
}

} // namespace brisora::gateway
