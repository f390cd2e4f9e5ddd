#pragma once

#include "feed/RequestTemplate.h"

#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

namespace brisora {

class SearchView;
class TcpClient;

/// The place search of the options dialog: sends the typed words as a geo.places query, counts
/// the reply complete past 1000 bytes, gives up after 200 ticks of 100 ms, and cuts the first
/// place's id and name out of the reply into PendingWoeid and PendingName.
/// Ticks and socket events come in through the handlers below; tests call them by hand.
class PlaceSearch final : public QObject
{
    Q_OBJECT
public:
    static constexpr std::int64_t kCompleteAbove = 1000;
    static constexpr int kTicksAllowed = 200;
    /// Bytes past this are counted but not kept: the cutter needs only the head of a reply,
    /// and a peer that never stops sending must not eat the machine's memory.
    static constexpr std::size_t kMaxKeptBytes = 1024 * 1024;

    PlaceSearch(std::unique_ptr<TcpClient> socket, ServiceHost searchHost, SearchView& view,
                QObject* parent = nullptr);
    ~PlaceSearch() override;

    /// Sets the place that confirming would store before any search has run.
    void loadPending(std::string woeid, std::string name);

    /// Abandons any search under way and starts a new one with the words now in the box.
    void FindLocation();
    /// Every 100 ms while a search runs: completion, then the time-out.
    void Timer1_Timer();
    /// Ends the connection; a running search can then only time out.
    void closeSocket();

    void sockWID_Connect();
    void sockWID_DataArrival(qint64 bytesTotal);
    void sockWID_Error();

    const std::string& pendingWoeid() const { return PendingWoeid; }
    const std::string& pendingName() const { return PendingName; }
    const std::string& searchPath() const { return SearchPath; }
    const std::string& searchReply() const { return SearchReply; }
    std::int64_t searchBytes() const { return SearchBytes; }
    int searchTicks() const { return SearchTicks; }
    bool timerEnabled() const { return Timer1.isActive(); }
    TcpClient& socket() { return *sockWID; }

private:
    /// Cuts id and name out of a complete reply and shows whether a place was found.
    void ParseLocation(std::string_view reply);

    std::unique_ptr<TcpClient> sockWID;
    const ServiceHost SearchHost;
    SearchView& view_;
    QTimer Timer1;

    std::string SearchText;
    std::string SearchPath;
    std::string SearchReply;
    std::int64_t SearchBytes = 0; // wide, so no reply size can overflow it
    std::int16_t SearchTicks = 0;
    std::string PendingWoeid;
    std::string PendingName;
};

} // namespace brisora
