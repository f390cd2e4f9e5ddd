#include "posix/PosixProgramPlaces.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace brisora;

TEST(PosixProgramPlaces, SettingsFollowXdgConfigHomeWhenItIsAbsolute)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const PosixProgramPlaces places;
    qputenv("XDG_CONFIG_HOME", "/tmp/config");
    EXPECT_EQ(places.perUserSettingsFile(), QStringLiteral("/tmp/config/brisora/brisora.conf"));
    // XDG base-directory rules ignore a relative value.
    for (const char* ignored : {"", "config"}) {
        qputenv("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(places.perUserSettingsFile(),
                  QDir::home().filePath(QStringLiteral(".config/brisora/brisora.conf")))
            << ignored;
    }
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}
