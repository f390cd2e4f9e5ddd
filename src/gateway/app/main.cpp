#include "CacheFolder.h"
#include "Gateway.h"
#include "GatewayOptions.h"
#include "HandedSocket.h"
#include "StandardStreams.h"

#include <QCoreApplication>
#include <QSslSocket>
#include <QTextStream>
#include <cstdio>

using namespace brisora::gateway;

namespace {

/// The TLS library the live source's HTTPS goes through ("openssl", "schannel"), so that a
/// start line shows whether the sources can be reached at all.
QString tlsBackend()
{
    const QString backend = QSslSocket::activeBackend();
    return backend.isEmpty() ? QStringLiteral("none, HTTPS fails") : backend;
}

/// What the start line says of the data served.
const char* dataCredit(GatewayOptions::Source source)
{
    switch (source) {
    case GatewayOptions::Source::Demo:
        return " (demo data)";
    case GatewayOptions::Source::MetNorway:
        return " (weather data by MET Norway)";
    case GatewayOptions::Source::OpenMeteo:
        break;
    }
    return " (weather data by Open-Meteo.com)";
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

    if (handed.state == HandedSocket::State::Unusable) {
        QTextStream(stderr) << "brisora-gateway: cannot serve on the socket handed over: "
                            << handed.error << '\n';
        return 1;
    }
    const GatewayLog log = GatewayLog::standardError();
    Gateway gateway(*commandLine.options, log);
    QString error;
    // A socket handed over by the service manager wins over --listen: its unit says where.
    const bool serving = handed.state == HandedSocket::State::Ready
                             ? gateway.startOn(handed.descriptor, error)
                             : gateway.start(error);
    if (!serving) {
        QTextStream(stderr) << "brisora-gateway: cannot listen: " << error << '\n';
        return 1;
    }
    const GatewayOptions& options = *commandLine.options;
    const QHostAddress address = gateway.address();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    // Scripts and tests read the port from this line (it matters with port 0).
    QTextStream(stdout) << "brisora-gateway: listening on " << host << ':' << gateway.port()
                        << dataCredit(options.source) << Qt::endl;
    QString source;
    switch (options.source) {
    case GatewayOptions::Source::Demo:
        source = QStringLiteral("demo (made-up data, nothing kept on disk)");
        break;
    case GatewayOptions::Source::OpenMeteo:
        source = QStringLiteral("open-meteo (forecast %1, geocoding %2, cache %3, TLS %4)")
                     .arg(options.forecastUrl.toString(), options.geocodingUrl.toString(),
                          options.cacheDir, tlsBackend());
        break;
    case GatewayOptions::Source::MetNorway:
        source = QStringLiteral("met-norway (forecast %1, geocoding %2, cache %3, TLS %4)")
                     .arg(options.metNorwayUrl.toString(), options.geocodingUrl.toString(),
                          options.cacheDir, tlsBackend());
        break;
    }
    log.write(QStringLiteral("listening on %1:%2, source %3, at most %4 connections")
                  .arg(host, QString::number(gateway.port()), source,
                       QString::number(gateway.connectionLimit())));
    return QCoreApplication::exec();
}
