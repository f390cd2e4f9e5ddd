// Test entry point for everything that needs a Qt application object: widgets run on the
// offscreen platform, the locale is pinned, and the layout fonts are mapped as in the program.
#include "Fonts.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    brisora::installFontSubstitutions();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
