#include "WeatherFetch.h"

#include "BootClock.h"
#include "FetchView.h"
#include "TcpClient.h"
#include "app/Utf8Text.h"

#include <algorithm>

namespace brisora {

namespace {
constexpr int kDataTickMs = 100;
constexpr int kIntervalTickMs = 60000;
constexpr int kMinutesPerHour = 60;
constexpr std::string_view kNoPlaceWoeid = "99999999";
} // namespace

WeatherFetch::WeatherFetch(Module1& module, std::unique_ptr<TcpClient> socket, ServiceHost feedHost,
                           const BootClock& clock, FetchView& view, QObject* parent)
    : QObject(parent), module_(module), sckData(std::move(socket)), feedHost_(std::move(feedHost)),
      clock_(clock), view_(view), countStart_(clock.sinceBoot())
{
    tmrData.setInterval(kDataTickMs);
    tmrInterval.setInterval(kIntervalTickMs);
    // The minute tick is the only wake-up of an idle widget; let the system batch it.
    tmrInterval.setTimerType(Qt::CoarseTimer);
    connect(&tmrData, &QTimer::timeout, this, &WeatherFetch::tmrData_Timer);
    connect(&tmrInterval, &QTimer::timeout, this, &WeatherFetch::tmrInterval_Timer);
    connect(sckData.get(), &TcpClient::Connected, this, &WeatherFetch::sckData_Connect);
    connect(sckData.get(), &TcpClient::DataArrival, this, &WeatherFetch::sckData_DataArrival);
    connect(sckData.get(), &TcpClient::Error, this, &WeatherFetch::sckData_Error);
    tmrInterval.start();
}

WeatherFetch::~WeatherFetch() = default;

void WeatherFetch::enable(QTimer& timer)
{
    if (!timer.isActive())
        timer.start();
}

void WeatherFetch::restartCount()
{
    HourCount = 0;
    MinuteCount = 0;
    countStart_ = clock_.sinceBoot();
}

void WeatherFetch::RefreshOptions()
{
    restartCount();
    FetchDone = false;
    view_.ClearWeather();
    sckData->Close();
    tmrData.stop();
    tmrInterval.stop();
    FetchWoeid = module_.Settings.LocationWoeid;
    view_.setTitleCaption(QString::fromStdString(module_.Settings.LocationName));
    FetchMetric = module_.Settings.UseCelsius == 1;
    module_.WindowShown = kTrue;
    enable(tmrData);
    ReplyBytes = 0;
    ReplyText.clear();
    FeedHost = feedHost_.name;
    if (!isBlank(FetchWoeid) && FetchWoeid != kNoPlaceWoeid) {
        sckData->Connect(QString::fromStdString(FeedHost), feedHost_.port);
        enable(tmrInterval);
    }
}

void WeatherFetch::sckData_Connect()
{
    const std::string request =
        buildRequest(feedPath(FetchWoeid, module_.Settings.UseCelsius), feedHost_.headerValue);
    sckData->SendData(QByteArray::fromStdString(request));
}

void WeatherFetch::sckData_DataArrival(qint64 bytesTotal)
{
    if (sckData->takeArrivedInto(ReplyText, kMaxKeptBytes))
        ReplyBytes += bytesTotal;
}

void WeatherFetch::sckData_Error()
{
    view_.showNetworkError();
}

void WeatherFetch::tmrData_Timer()
{
    ++BarTicks;
    view_.setBarCaption(view_.barCaption() + QLatin1Char('-'));
    if (BarTicks >= kTicksPerAttempt) {
        view_.setBarCaption(QString());
        BarTicks = 0;
        if (!FetchDone)
            RefreshOptions();
    }
    if (ReplyBytes > kCompleteAbove) {
        view_.setBarCaption(QString());
        sckData->Close();
        FetchDone = true;
        view_.ParseWeather(ReplyText);
        tmrData.stop();
    }
}

void WeatherFetch::countMinute()
{
    // The timer's ticks stop while the machine sleeps; the clock does not. Measuring from
    // the start of the count keeps the part of a minute that a tick leaves over, and taking
    // at least the tick's own minute keeps a tick that comes a little early from counting
    // nothing.
    const std::int64_t ticked = std::int64_t(HourCount) * kMinutesPerHour + MinuteCount + 1;
    const std::int64_t passed =
        std::chrono::duration_cast<std::chrono::minutes>(clock_.sinceBoot() - countStart_).count();
    const std::int64_t counted = std::max(ticked, passed);
    HourCount = static_cast<int>(counted / kMinutesPerHour);
    MinuteCount = static_cast<int>(counted % kMinutesPerHour);
}

void WeatherFetch::tmrInterval_Timer()
{
    const int hoursBefore = HourCount;
    countMinute();
    const int refreshHours = module_.Settings.RefreshHours;
    // Only a leap over several hours can pass RefreshHours without meeting it; an hour count
    // that was already past it (or a negative RefreshHours) stays quiet, as before.
    const bool leaptPast = hoursBefore <= refreshHours && refreshHours < HourCount;
    if (HourCount == refreshHours || leaptPast)
        RefreshOptions();
}

} // namespace brisora
