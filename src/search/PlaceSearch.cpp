#include "PlaceSearch.h"

#include "SearchView.h"
#include "TcpClient.h"
#include "search/PlaceReplyCutter.h"

namespace brisora {

namespace {
constexpr int kTickMs = 100;
} // namespace

PlaceSearch::PlaceSearch(std::unique_ptr<TcpClient> socket, ServiceHost searchHost,
                         SearchView& view, QObject* parent)
    : QObject(parent), sockWID(std::move(socket)), SearchHost(std::move(searchHost)), view_(view)
{
    Timer1.setInterval(kTickMs);
    connect(&Timer1, &QTimer::timeout, this, &PlaceSearch::Timer1_Timer);
    connect(sockWID.get(), &TcpClient::Connected, this, &PlaceSearch::sockWID_Connect);
    connect(sockWID.get(), &TcpClient::DataArrival, this, &PlaceSearch::sockWID_DataArrival);
    connect(sockWID.get(), &TcpClient::Error, this, &PlaceSearch::sockWID_Error);
}

PlaceSearch::~PlaceSearch()
{
    // The socket outlives nothing that listens to it, but a queued event must not reach a
    // half-destroyed search.
    sockWID->disconnect(this);
    sockWID->Close();
}

void PlaceSearch::loadPending(std::string woeid, std::string name)
{
    PendingWoeid = std::move(woeid);
    PendingName = std::move(name);
}

void PlaceSearch::FindLocation()
{
    sockWID->Close();
    SearchReply.clear();
    SearchTicks = 0;
    Timer1.stop();
    PendingName.clear();
    const QString words = view_.searchWords();
    view_.setStatusText(QStringLiteral("searching ") + words + QStringLiteral("... "));
    SearchBytes = 0;
    view_.setOkayEnabled(false);
    const QByteArray utf8 = words.toUtf8();
    SearchText = quotedSearchWords(std::string_view(utf8.constData(), utf8.size()));
    SearchPath = brisora::searchPath(std::string_view(utf8.constData(), utf8.size()));
    Timer1.start();
    sockWID->Connect(QString::fromStdString(SearchHost.name), SearchHost.port);
}

void PlaceSearch::closeSocket()
{
    sockWID->Close();
}

void PlaceSearch::sockWID_Connect()
{
    sockWID->SendData(QByteArray::fromStdString(buildRequest(SearchPath, SearchHost.headerValue)));
}

void PlaceSearch::sockWID_DataArrival(qint64 bytesTotal)
{
    if (sockWID->takeArrivedInto(SearchReply, kMaxKeptBytes))
        SearchBytes += bytesTotal;
}

void PlaceSearch::sockWID_Error()
{
    // The timer keeps running: unless enough arrived, the time-out replaces this message.
    view_.setStatusText(QStringLiteral("network error"));
}

void PlaceSearch::Timer1_Timer()
{
    ++SearchTicks;
    if (SearchBytes > kCompleteAbove) {
        Timer1.stop();
        ParseLocation(SearchReply);
        if (view_.okayEnabled())
            view_.focusOkay();
        else
            view_.focusWords();
        SearchReply.clear();
        SearchBytes = 0;
        SearchTicks = 0;
    }
    if (SearchTicks > kTicksAllowed) {
        SearchBytes = 0;
        SearchTicks = 0;
        Timer1.stop();
        view_.setStatusText(
            QStringLiteral("Not found. Please change zip/ town/ location and try again."));
    }
}

void PlaceSearch::ParseLocation(std::string_view reply)
{
    const PlaceCut cut = cutPlaceReply(reply);
    if (cut.woeid)
        PendingWoeid = *cut.woeid;
    if (cut.name)
        PendingName = *cut.name;
    if (cut.found) {
        view_.setStatusText(QString::fromStdString(PendingName) + QStringLiteral(" Found  !"));
        view_.setOkayEnabled(true);
    } else {
        view_.setStatusText(QStringLiteral("Easy boy. Not so fast !!!"));
        view_.setOkayEnabled(false);
    }
}

} // namespace brisora
