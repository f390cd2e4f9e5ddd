#pragma once

#include <QString>
#include <functional>

namespace brisora::gateway {

/// Where the gateway reports what an operator must know about: upstream failures, back-offs,
/// fallbacks to a last good document, and how it started. One line per event, never one per
/// ordinary request. A default-made log drops every line; tests pass one that collects.
class GatewayLog
{
public:
    using Sink = std::function<void(const QString& line)>;

    GatewayLog() = default;
    explicit GatewayLog(Sink sink) : m_sink(std::move(sink)) {}

    /// The real log: each line on standard error, after "brisora-gateway: ", in one write so
    /// that lines never interleave. Control characters in a line become spaces.
    static GatewayLog standardError();

    void write(const QString& line) const
    {
        if (m_sink)
            m_sink(line);
    }

private:
    Sink m_sink;
};

} // namespace brisora::gateway
