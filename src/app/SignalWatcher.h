#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

namespace brisora {

/// Turns the termination signals (SIGTERM, SIGINT, SIGHUP) into a Qt signal delivered on
/// the user-interface thread, so that they end the program the way Exit does.
class SignalWatcher final : public QObject
{
    Q_OBJECT
public:
    /// Installs handlers for `signalNumbers`. Only one watcher may exist at a time.
    SignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void received(int signalNumber);

private:
    static void handle(int signalNumber);
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace brisora
