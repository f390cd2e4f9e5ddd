#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <chrono>
#include <optional>

namespace brisora::gateway {

/// How brisora-gateway was asked to run.
struct GatewayOptions
{
    enum class Source
    {
        OpenMeteo,
        MetNorway, // the forecast from MET Norway, places from Open-Meteo's geocoder
        Demo,
    };

    /// The source asked when the first fails or is slow.
    enum class Fallback
    {
        None,
        OpenMeteo,
        MetNorway,
    };

    QHostAddress listenAddress{QHostAddress::LocalHost};
    quint16 listenPort = 8417;
    Source source = Source::OpenMeteo;
    QUrl forecastUrl;
    QUrl geocodingUrl;
    QUrl nominatimUrl;
    QUrl metNorwayUrl;
    Fallback fallback = Fallback::MetNorway;
    QUrl fallbackForecastUrl; // the forecast endpoint of an open-meteo fallback
    QString openMeteoApiKey;  // read from a file; sent to Open-Meteo only, never logged
    QString contact;          // the operator's address for the User-Agent; may be empty
    QString cacheDir;
    QString logFile; // empty: the log goes to standard error
    std::chrono::milliseconds upstreamTimeout = std::chrono::seconds(10);
    /// End after this long with no connection open; unset: run until stopped.
    std::optional<std::chrono::seconds> exitWhenIdle;
    std::chrono::seconds forecastFresh{600};
};

/// Outcome of reading the command line: options to run with, or text to print and an exit
/// code (for --help, --version and mistakes).
struct GatewayCommandLine
{
    std::optional<GatewayOptions> options;
    QString message;
    int exitCode = 0;
};

/// Reads `arguments` (program name first). `defaultCacheDir` stands in when --cache-dir is
/// not given. Addresses are "ADDR:PORT" or "[IPv6]:PORT"; upstream URLs must be http or https;
/// a contact is at most 100 printable ASCII characters without parentheses. The fallback is
/// the other live source unless told otherwise, none for the demo; an open-meteo fallback
/// of an open-meteo source needs a forecast endpoint of its own, and met-norway is never the
/// fallback of itself. The API key file is read
/// here: its text, trimmed, must be 1 to 200 printable ASCII characters without blanks.
GatewayCommandLine parseGatewayCommandLine(const QStringList& arguments,
                                           const QString& defaultCacheDir);

} // namespace brisora::gateway
