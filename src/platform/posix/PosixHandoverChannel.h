#pragma once
// POSIX only.

#include "HandoverChannel.h"

#include <QByteArray>

class QSocketNotifier;

namespace brisora {

/// HandoverChannel on a Unix domain socket watched from the event loop, on Qt Core alone.
class PosixHandoverChannel final : public HandoverChannel
{
    Q_OBJECT
public:
    using HandoverChannel::HandoverChannel;
    ~PosixHandoverChannel() override;

    bool listen(const QString& name) override;
    bool knock(const QString& name) override;

private:
    void acceptAll();

    int listener_ = -1;
    QByteArray boundPath_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace brisora
