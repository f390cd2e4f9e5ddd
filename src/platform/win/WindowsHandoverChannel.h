#pragma once
// Windows only.

#include "HandoverChannel.h"

#include <memory>

class QWinEventNotifier;

namespace brisora {

/// HandoverChannel on a named pipe waited on with overlapped I/O from the event loop, on Qt
/// Core alone. The pipe takes its name from the channel's (and so from the user's folder and
/// the settings file), opens to this user alone, and to no other machine.
class WindowsHandoverChannel final : public HandoverChannel
{
    Q_OBJECT
public:
    explicit WindowsHandoverChannel(QObject* parent = nullptr);
    ~WindowsHandoverChannel() override;

    /// False also when some program already serves `name`: a pipe cannot be taken over.
    bool listen(const QString& name) override;
    bool knock(const QString& name) override;

    /// The pipe for the channel `name`: "\\.\pipe\", its file name and a digest of all of it.
    static QString pipeNameFor(const QString& name);

private:
    struct Pipe;

    /// Lets the next start in; false when the pipe can take no one any more.
    bool waitForKnock();
    void pipeSignalled();

    std::unique_ptr<Pipe> pipe_;
    QWinEventNotifier* notifier_ = nullptr; // child of this
};

} // namespace brisora
