#include "GatewayLogFile.h"

#include <QDir>
#include <QFileInfo>

namespace brisora::gateway {

GatewayLogFile::GatewayLogFile(QString path, GatewayClock clock, qint64 cap)
    : m_path(std::move(path)), m_clock(std::move(clock)), m_cap(cap)
{
    m_file.setFileName(m_path);
}

bool GatewayLogFile::open(QString& error)
{
    const QFileInfo file(m_path);
    if (!file.absoluteDir().mkpath(QStringLiteral("."))) {
        error = QStringLiteral("cannot make the folder %1")
                    .arg(QDir::toNativeSeparators(file.absolutePath()));
        return false;
    }
    if (openForAppending())
        return true;
    error = m_file.errorString();
    return false;
}

bool GatewayLogFile::write(const QString& line)
{
    // Not in text mode: Windows would end the line in CR LF.
    const QByteArray bytes =
        (m_clock().toUTC().toString(Qt::ISODate) + QLatin1Char(' ') + line).toUtf8() + '\n';
    if (m_file.isOpen() && m_file.size() > 0 && m_file.size() + bytes.size() > m_cap)
        beginAgain();
    // A file that could not be opened again is tried once more with each line.
    if (!m_file.isOpen() && !openForAppending())
        return false;
    return m_file.write(bytes) == bytes.size();
}

bool GatewayLogFile::openForAppending()
{
    // Unbuffered: each line reaches the file in the write that holds it, so that a reader
    // never sees half of one, nor loses the last ones when the process is killed.
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void GatewayLogFile::beginAgain()
{
    m_file.close();
    const QString older = m_path + QStringLiteral(".1");
    QFile::remove(older);
    // When the file cannot be renamed (on Windows, while another program holds the older one
    // open), it is emptied instead: the cap matters more than the old lines.
    if (!QFile::rename(m_path, older))
        m_file.resize(0);
}

} // namespace brisora::gateway
