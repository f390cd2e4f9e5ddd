#pragma once

#include "app/Module1.h"
#include "feed/RequestTemplate.h"

#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace brisora {

class BootClock;
class FetchView;
class TcpClient;

/// The weather fetch cycle: connect, send the request, gather the reply, count it complete
/// past 2000 bytes, retry every 28 ticks of 100 ms, refresh every RefreshHours hours.
/// Ticks and socket events come in through the handlers below; tests call them by hand.
/// The hours are counted on `clock`, which runs on while the machine sleeps.
class WeatherFetch final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTicksPerAttempt = 28;
    static constexpr std::int64_t kCompleteAbove = 2000;
    /// Bytes past this are counted but not kept: the cutter reads only the head of a reply,
    /// and a peer that never stops sending must not eat the machine's memory.
    static constexpr std::size_t kMaxKeptBytes = 1024 * 1024;

    WeatherFetch(Module1& module, std::unique_ptr<TcpClient> socket, ServiceHost feedHost,
                 const BootClock& clock, FetchView& view, QObject* parent = nullptr);
    ~WeatherFetch() override;

    /// Drops any fetch under way and starts a new one from Settings.
    void RefreshOptions();
    /// Every 100 ms while tmrData runs: progress mark, retry, completion.
    void tmrData_Timer();
    /// Every 60 s while tmrInterval runs: hour counting and the periodic refresh. A tick
    /// counts its own minute, or all the whole minutes that really passed since the count
    /// began when those are more (the machine slept); it refreshes when the hour count equals
    /// RefreshHours, or has just leapt from below it to past it.
    void tmrInterval_Timer();

    void sckData_Connect();
    void sckData_DataArrival(qint64 bytesTotal);
    void sckData_Error();

    /// Seeds the snapshot that SaveConfig writes back, as the settings file is read.
    void seedWoeid(const std::string& woeid) { FetchWoeid = woeid; }
    void seedMetric(bool metric) { FetchMetric = metric; }

    const std::string& fetchWoeid() const { return FetchWoeid; }
    bool fetchMetric() const { return FetchMetric; }
    bool fetchDone() const { return FetchDone; }
    int barTicks() const { return BarTicks; }
    int hourCount() const { return HourCount; }
    int minuteCount() const { return MinuteCount; }
    std::int64_t replyBytes() const { return ReplyBytes; }
    const std::string& replyText() const { return ReplyText; }
    bool dataTimerEnabled() const { return tmrData.isActive(); }
    bool intervalTimerEnabled() const { return tmrInterval.isActive(); }
    TcpClient& socket() { return *sckData; }

private:
    static void enable(QTimer& timer);
    void restartCount();
    void countMinute();

    Module1& module_;
    std::unique_ptr<TcpClient> sckData;
    const ServiceHost feedHost_;
    const BootClock& clock_;
    FetchView& view_;
    QTimer tmrData;
    QTimer tmrInterval;

    std::string ReplyText;
    std::int64_t ReplyBytes = 0; // wide, so no reply size can overflow it
    std::string FeedHost;
    std::string FetchWoeid;
    bool FetchMetric = false;
    bool FetchDone = false;
    std::int16_t BarTicks = 0;
    int MinuteCount = 0;
    int HourCount = 0;
    std::chrono::milliseconds countStart_{}; ///< clock_ when the hour count last began
};

} // namespace brisora
