#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace brisora::gateway {

/// Concurrent requests for the same key share one piece of work: the first to join starts
/// it, and finish() answers every waiter with its one result.
template <typename Result> class RequestCoalescer
{
public:
    using Waiter = std::function<void(Result)>;

    /// Adds `waiter` for `key`; true when no work was under way for it (the caller starts it).
    bool join(const QString& key, Waiter waiter)
    {
        const bool first = !m_waiting.contains(key);
        m_waiting[key].append(std::move(waiter));
        return first;
    }
    /// Marks work under way for `key` with no waiter of its own (a refresh); no-op if it is.
    void begin(const QString& key)
    {
        if (!m_waiting.contains(key))
            m_waiting.insert(key, {});
    }
    bool isUnderWay(const QString& key) const { return m_waiting.contains(key); }
    bool isEmpty() const { return m_waiting.isEmpty(); }
    /// Answers every waiter for `key` with `result`; the key is free before the first is
    /// called, since answering may bring the next request for it straight in.
    void finish(const QString& key, const Result& result)
    {
        const QList<Waiter> waiting = m_waiting.take(key);
        for (const Waiter& waiter : waiting)
            waiter(result);
    }

private:
    QHash<QString, QList<Waiter>> m_waiting;
};

} // namespace brisora::gateway
