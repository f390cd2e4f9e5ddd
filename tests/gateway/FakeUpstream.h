#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <QUrl>
#include <chrono>

namespace brisora::gateway::test {

/// A stand-in for the weather source on loopback: answers each path with a canned reply
/// (or never answers), and records what it was asked. Like the live service it can work
/// on one request at a time and hold only a few: the next one gets a 429 "Too many
/// concurrent requests", without Retry-After.
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
    /// From now on, works on one request at a time, each taking `serviceTime`, and holds at
    /// most `held` (the one running included); requests beyond that get the 429 at once.
    void limitConcurrency(int held, std::chrono::milliseconds serviceTime);
    /// How many requests got the concurrency 429, and the most held at once.
    int concurrencyRefusals() const { return m_refusals; }
    int mostHeld() const { return m_mostHeld; }
    /// Every request head received so far, in order.
    const QList<QByteArray>& heads() const { return m_heads; }

private:
    void serve(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Reply& reply);
    void finishRunning();

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    QHash<QByteArray, int> m_counts;
    QList<QByteArray> m_heads;
    int m_maxHeld = 0; // 0: no limit, every request answered at once
    std::chrono::milliseconds m_serviceTime{0};
    QList<QPair<QPointer<QTcpSocket>, Reply>> m_held; // the first one is running
    QTimer m_running;
    int m_refusals = 0;
    int m_mostHeld = 0;
};

} // namespace brisora::gateway::test
