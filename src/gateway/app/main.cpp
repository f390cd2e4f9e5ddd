#include "CacheFolder.h"
#include "Gateway.h"
#include "GatewayLogFile.h"
#include "GatewayOptions.h"
#include "HandedSocket.h"
#include "StandardStreams.h"

#include <QCoreApplication>
#include <QDir>
#include <QSslSocket>
#include <QTextStream>
#include <cstdio>
#include <memory>

using namespace brisora::gateway;

namespace {

/// The TLS library the live source's HTTPS goes through ("openssl", "schannel"), so that a
/// start line shows whether the sources can be reached at all.
QString tlsBackend()
{
    const QString backend = QSslSocket::activeBackend();
    return backend.isEmpty() ? QStringLiteral("none, HTTPS fails") : backend;
}

/// The log in `logFile`, or on standard error when none is given or it cannot be opened
/// (which is said there, once: a gateway without its log still serves).
GatewayLog openLog(const QString& logFile)
{
    const GatewayLog standardError = GatewayLog::standardError();
    if (logFile.isEmpty())
        return standardError;
    auto file = std::make_shared<GatewayLogFile>(logFile, systemClock());
    QString error;
    if (file->open(error))
        return GatewayLog::inFile(std::move(file));
    standardError.write(QStringLiteral("cannot open the log file %1 (%2), logging here instead")
                            .arg(QDir::toNativeSeparators(logFile), error));
    return standardError;
}

/// What the start line says of the data served: the first source's, and the fallback's when
/// it is the other one.
QString dataCredit(const GatewayOptions& options)
{
    if (options.source == GatewayOptions::Source::Demo)
        return QStringLiteral(" (demo data)");
    const bool metFirst = options.source == GatewayOptions::Source::MetNorway;
    const QString first =
        metFirst ? QStringLiteral("MET Norway") : QStringLiteral("Open-Meteo.com");
    const QString other =
        metFirst ? QStringLiteral("Open-Meteo.com") : QStringLiteral("MET Norway");
    const bool otherStandsIn = options.fallback == (metFirst ? GatewayOptions::Fallback::OpenMeteo
                                                             : GatewayOptions::Fallback::MetNorway);
    return QStringLiteral(" (weather data by %1%2)")
        .arg(first,
             otherStandsIn ? QStringLiteral(", or by %1 when it stands in").arg(other) : QString());
}

} // namespace

int main(int argc, char* argv[])
{
    writeStandardStreamsAsBytes();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brisora-gateway"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRISORA_GATEWAY_VERSION));

    // Taken first, so that the variables are gone before anything could start a child.
    const HandedSocket handed = takeHandedSocket();
    const GatewayCommandLine commandLine =
        parseGatewayCommandLine(QCoreApplication::arguments(), defaultCacheFolder());
    if (!commandLine.options) {
        QTextStream(commandLine.exitCode == 0 ? stdout : stderr) << commandLine.message;
        return commandLine.exitCode;
    }

    // Before anything can fail, so that a gateway started with no console says why it ended.
    const GatewayLog log = openLog(commandLine.options->logFile);
    if (handed.state == HandedSocket::State::Unusable) {
        log.write(QStringLiteral("cannot serve on the socket handed over: ") + handed.error);
        return 1;
    }
    Gateway gateway(*commandLine.options, log);
    QString error;
    // A socket handed over by the service manager wins over --listen: its unit says where.
    const bool serving = handed.state == HandedSocket::State::Ready
                             ? gateway.startOn(handed.descriptor, error)
                             : gateway.start(error);
    if (!serving) {
        log.write(QStringLiteral("cannot listen: ") + error);
        return 1;
    }
    const GatewayOptions& options = *commandLine.options;
    const QHostAddress address = gateway.address();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    // Scripts and tests read the port from this line (it matters with port 0).
    QTextStream(stdout) << "brisora-gateway: listening on " << host << ':' << gateway.port()
                        << dataCredit(options) << Qt::endl;
    const bool metFirst = options.source == GatewayOptions::Source::MetNorway;
    const QString source =
        options.source == GatewayOptions::Source::Demo
            ? QStringLiteral("demo (made-up data, nothing kept on disk)")
            : QStringLiteral("%1 (forecast %2, geocoding %3%4, fallback %5, cache %6, TLS %7)")
                  .arg(metFirst ? QStringLiteral("met-norway") : QStringLiteral("open-meteo"),
                       (metFirst ? options.metNorwayUrl : options.forecastUrl).toString(),
                       options.geocodingUrl.toString(),
                       options.openMeteoApiKey.isEmpty() ? QString()
                                                         : QStringLiteral(", with an API key"),
                       gateway.fallbackName(), options.cacheDir, tlsBackend());
    log.write(QStringLiteral("listening on %1:%2, source %3, at most %4 connections")
                  .arg(host, QString::number(gateway.port()), source,
                       QString::number(gateway.connectionLimit())));
    return QCoreApplication::exec();
}
