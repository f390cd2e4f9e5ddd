#pragma once
// Where the widget's sockets are Qt Network's (everywhere but Linux).

#include "HandoverChannel.h"

#include <QLocalServer>

namespace brisora {

/// HandoverChannel on Qt's local sockets (a named pipe on Windows).
class QtHandoverChannel final : public HandoverChannel
{
    Q_OBJECT
public:
    explicit QtHandoverChannel(QObject* parent = nullptr);

    bool listen(const QString& name) override;
    bool knock(const QString& name) override;

private:
    void acceptAll();

    QLocalServer server_;
};

} // namespace brisora
