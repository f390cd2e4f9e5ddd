#include "FakeTcpClient.h"

namespace brisora::test {

void FakeTcpClient::Connect(const QString& host, quint16 port)
{
    connects.append(host + QLatin1Char(':') + QString::number(port));
    pending.clear();
    state = 6; // connecting
}

void FakeTcpClient::SendData(const QByteArray& bytes)
{
    sent.append(bytes);
}

QByteArray FakeTcpClient::GetData()
{
    QByteArray out;
    out.swap(pending);
    return out;
}

void FakeTcpClient::Close()
{
    ++closeCount;
    state = kStateClosed;
    pending.clear();
}

void FakeTcpClient::deliverConnect()
{
    state = kStateConnected;
    emit Connected();
}

void FakeTcpClient::deliverData(const QByteArray& bytes)
{
    pending.append(bytes);
    emit DataArrival(bytes.size());
}

void FakeTcpClient::deliverError(int number, const QString& text)
{
    state = kStateClosed;
    emit Error(number, text);
}

} // namespace brisora::test
