#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

namespace brisora::gateway::test {

/// A stand-in for the weather source on loopback: answers each path with a canned reply
/// (or never answers), and records what it was asked.
class FakeUpstream : public QObject
{
    Q_OBJECT

public:
    struct Reply
    {
        Reply(int status_ = 200, QByteArray body_ = {}, QByteArray extraHeaders_ = {},
              bool hang_ = false)
            : status(status_), body(std::move(body_)), extraHeaders(std::move(extraHeaders_)),
              hang(hang_)
        {
        }

        int status = 200;
        QByteArray body;
        QByteArray extraHeaders; // complete header lines, each ending in CR LF
        bool hang = false;       // accept the request and never answer
    };

    FakeUpstream();

    /// "http://127.0.0.1:PORT".
    QUrl baseUrl() const;
    /// The reply for requests whose path (before "?") is `path`; others get 404.
    void setReply(const QByteArray& path, Reply reply);
    int requestCount(const QByteArray& path) const { return m_counts.value(path); }
    /// Every request head received so far, in order.
    const QList<QByteArray>& heads() const { return m_heads; }

private:
    void serve(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    QHash<QByteArray, int> m_counts;
    QList<QByteArray> m_heads;
};

} // namespace brisora::gateway::test
