#pragma once

#include "GatewayClock.h"

#include <QFile>
#include <QString>

namespace brisora::gateway {

/// A log kept in a file, for a gateway whose standard error nobody reads (one the widget
/// starts on Windows has no console). Each line is appended whole, in one write, after its
/// UTC time stamp ("2026-12-10T19:55:01Z ") and with a single "\n" on every system. A line
/// that would take the file past `cap` bytes first makes it PATH.1 (replacing an older one)
/// and begins a new PATH, so that the two hold little more than twice the cap.
class GatewayLogFile
{
public:
    static constexpr qint64 defaultCap = 1024 * 1024;

    GatewayLogFile(QString path, GatewayClock clock, qint64 cap = defaultCap);

    /// Opens PATH for appending, making its folder when missing; false with `error` filled
    /// when it cannot.
    bool open(QString& error);
    /// Appends `line`, which holds no line break; false when it could not be written.
    bool write(const QString& line);

private:
    bool openForAppending();
    void beginAgain();

    QString m_path;
    GatewayClock m_clock;
    qint64 m_cap;
    QFile m_file;
};

} // namespace brisora::gateway
