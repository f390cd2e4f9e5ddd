#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace brisora::gateway {

class GatewayLogFile;

/// Where the gateway reports what an operator must know about: upstream failures, back-offs,
/// fallbacks to a last good document, and how it started. One line per event, never one per
/// ordinary request. A default-made log drops every line; tests pass one that collects.
class GatewayLog
{
public:
    using Sink = std::function<void(const QString& line)>;

    GatewayLog() = default;
    explicit GatewayLog(Sink sink) : m_sink(std::move(sink)) {}

    /// The log on standard error: each line after "brisora-gateway: ", in one write so that
    /// lines never interleave. Control characters in a line become spaces.
    static GatewayLog standardError();
    /// The log in `file`, which is open, with control characters made spaces as on standard
    /// error. A line the file does not take goes to standard error instead.
    static GatewayLog inFile(std::shared_ptr<GatewayLogFile> file);

    void write(const QString& line) const
    {
        if (m_sink)
            m_sink(line);
    }

private:
    Sink m_sink;
};

} // namespace brisora::gateway
