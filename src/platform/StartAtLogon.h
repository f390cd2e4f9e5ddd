#pragma once

#include <QString>

namespace brisora {

/// The entry that starts the program when the user logs on.
class StartAtLogon
{
public:
    virtual ~StartAtLogon() = default;

    /// Writes (or rewrites) the entry so that it runs `executablePath`; true when written.
    virtual bool SetEntry(const QString& executablePath) = 0;
    /// Removes the entry; harmless when there is none.
    virtual void DeleteEntry() = 0;
};

} // namespace brisora
