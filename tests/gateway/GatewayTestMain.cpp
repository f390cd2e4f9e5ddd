#include <QCoreApplication>
#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

// The service and server tests need an event loop of their own.
int main(int argc, char* argv[])
{
    std::setlocale(LC_ALL, "C");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brisora-gateway-tests"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0"));
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
