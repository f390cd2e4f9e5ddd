#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <string>

namespace brisora {

/// A TCP client socket driven from the event loop, with the operations and events that the
/// weather fetch and the place search rely on. Every call returns at once.
class TcpClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int kStateClosed = 0;
    static constexpr int kStateLookingUp = 4;
    static constexpr int kStateConnecting = 6;
    static constexpr int kStateConnected = 7;

    using QObject::QObject;

    /// Starts connecting; exactly one of Connected() or Error() follows later.
    virtual void Connect(const QString& host, quint16 port) = 0;
    /// Sends every byte of `bytes`, one byte per character.
    virtual void SendData(const QByteArray& bytes) = 0;
    /// All bytes received and not yet taken; they are removed from the socket.
    virtual QByteArray GetData() = 0;
    /// Ends the connection at once; harmless on a closed socket. No event of that
    /// connection follows.
    virtual void Close() = 0;
    /// 7 while connected; other values otherwise (0 closed, 4 looking up the name, 6 connecting).
    virtual int State() const = 0;

    /// While connected, takes what has arrived (GetData) and appends it to `kept`, which
    /// never grows past `limit` bytes: what would go past it is taken and dropped. Takes
    /// nothing and returns false while not connected, so a late event of a connection that
    /// was closed adds nothing.
    bool takeArrivedInto(std::string& kept, std::size_t limit);

signals:
    void Connected();
    void DataArrival(qint64 bytesTotal);
    void Error(int number, const QString& description);
};

} // namespace brisora
