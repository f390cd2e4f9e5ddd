#pragma once

#include <QLockFile>
#include <QString>

namespace brisora {

class HandoverChannel;

/// One running program per settings file. The first start holds a lock and serves a
/// handover channel, both named after the settings file's path and kept in the user's
/// runtime folder; a later start finds the lock taken and knocks on the channel instead.
class SingleInstance
{
public:
    SingleInstance(const QString& settingsPath, const QString& runtimeDir,
                   HandoverChannel& channel);

    /// True when this start is the one to run: it took the lock (also when a killed program
    /// left it behind) or could not tell, and now serves the channel. False when another
    /// program holds the lock.
    bool claim();
    /// For a start that may not run: asks the running program to come forward, waiting a
    /// moment for one that is still starting. True when it was reached.
    bool handOver();

private:
    HandoverChannel& channel_;
    QString channelName_;
    QLockFile lock_;
};

} // namespace brisora
