#pragma once

#include <QObject>

namespace brisora {

/// Finds the notification area that the desktop offers and settles which kind of tray
/// icon to make for it. Qt's tray settles its own kind once per process, the first time a
/// tray icon is made or the tray is asked about: until this probe first reports true,
/// neither may happen.
class TrayHostProbe : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// Begins watching the desktop and returns at once; the answers come as
    /// availabilityChanged.
    virtual void start() = 0;
    /// True while the kind is settled and a notification area of that kind is there.
    virtual bool available() const = 0;

signals:
    /// available() changed. Its first true means the kind is settled and Qt's tray may be
    /// used from then on.
    void availabilityChanged(bool available);
};

} // namespace brisora
