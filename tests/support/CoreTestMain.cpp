// Test entry point for the clients: a Qt Core application and nothing of the GUI, with the
// locale pinned as in the widget tests.
#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char* argv[])
{
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
