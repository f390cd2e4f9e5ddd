#include "GatewayProcess.h"
#include "search/PlaceReplyCutter.h"

#include <QTcpServer>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace brisora::gateway::test;

TEST_F(GatewayProcess, ServesOnTheSocketTheServiceManagerHandsOver)
{
    // The listening socket as a service manager opens it, with the port it chose.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 16), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const quint16 handedPort = ntohs(address.sin_port);

    // --listen names a port that is taken, so only the handed socket can serve.
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    gateway.setChildProcessModifier([listener] { ::dup2(listener, 3); });
    // LISTEN_PID must be the gateway's own id; the shell's exec keeps it.
    gateway.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("LISTEN_PID=$$ LISTEN_FDS=1 exec \"$0\" \"$@\""),
         QStringLiteral(BRISORA_GATEWAY_EXE), QStringLiteral("--demo"), QStringLiteral("--listen"),
         QStringLiteral("127.0.0.1:%1").arg(taken.serverPort())});
    ::close(listener);

    WidgetClient widget(handedPort);
    const brisora::PlaceCut place =
        brisora::cutPlaceReply(widget.fetch(brisora::searchPath("tokyo"), 1000));
    EXPECT_TRUE(place.found) << gateway.readAllStandardError().toStdString();
    EXPECT_TRUE(gateway.readAllStandardOutput().contains(
        QStringLiteral("listening on 127.0.0.1:%1").arg(handedPort).toUtf8()));
}
