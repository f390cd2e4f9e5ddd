#include "PlatformServices.h"
#include "frmMain.h"
#include "support/FakePlatform.h"
#include "support/WindowLookup.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

namespace {

class frmMainStartupTest : public testing::Test, protected FakePlatform
{
protected:
    frmMain& load(const QByteArray* file)
    {
        if (file)
            storage.files.insert(storage.settingsPath(), *file);
        form = std::make_unique<frmMain>(module, services);
        form->Form_Load();
        return *form;
    }

    Module1 module;
    std::unique_ptr<frmMain> form;
};

} // namespace

TEST_F(frmMainStartupTest, FirstRunStartsShownWithNoPlaceInTheTopRightArea)
{
    frmMain& f = load(nullptr);
    EXPECT_EQ(module.AppVersion, "1.25");
    EXPECT_EQ(module.Settings.RefreshHours, 1);
    EXPECT_EQ(module.Settings.LocationName, ">none");
    EXPECT_TRUE(f.showsAfterLoad());
    EXPECT_EQ(label(f, "txtTitle")->text(), "options: Select Location");
    EXPECT_EQ(label(f, "lblBar")->text(), "");
    EXPECT_TRUE(sockets[0]->connects.isEmpty());
    EXPECT_GT(f.x(), 1920 / 2);
    EXPECT_LT(f.x() + f.width(), 1920);
    EXPECT_LT(f.y(), 100);
    ASSERT_EQ(tray.calls.size(), 1);
    EXPECT_EQ(tray.calls[0].operation, TrayOperation::Add);
    EXPECT_EQ(tray.shownTip, "Brisora 1.25");
    EXPECT_FALSE(menuItem(f, "Open")->isEnabled());
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // The window gets its icon once it is on screen; the tray has it from the start.
    f.show();
    QCoreApplication::processEvents();
    for (const QIcon& icon : {tray.calls[0].icon, f.windowIcon()}) {
        const QList<QSize> sizes = icon.availableSizes();
        for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
            EXPECT_TRUE(sizes.contains(QSize(side, side))) << "no sharp icon of " << side << " px";
            EXPECT_FALSE(icon.pixmap(side).toImage().pixelColor(side / 2, side / 2).alpha() == 0)
                << "nothing drawn at " << side << " px";
        }
    }
}

TEST_F(frmMainStartupTest, StoredPlaceIsShownAndFetchedAtOnce)
{
    const QByteArray file = "0\r\n0\r\n3\r\n1500\r\n3000\r\n2459115\r\n1\r\nNew York, NY\r\n";
    frmMain& f = load(&file);
    EXPECT_EQ(label(f, "txtTitle")->text(), "New York, NY");
    EXPECT_EQ(sockets[0]->connects, QStringList{"127.0.0.1:8417"});
    EXPECT_EQ(f.x(), 100);
    EXPECT_EQ(f.y(), 200);
    sockets[0]->deliverConnect();
    EXPECT_TRUE(sockets[0]->sent.value(0).contains("?w=2459115&u=c ")) << "in metric units";
}

TEST_F(frmMainStartupTest, NonePlaceOrNameWithoutWoeidConnectsNowhere)
{
    QByteArray file = "0\r\n0\r\n1\r\n0\r\n0\r\n2459115\r\n0\r\n>none\r\n";
    EXPECT_EQ(label(load(&file), "txtTitle")->text(), "options: Select Location");
    EXPECT_TRUE(sockets[0]->connects.isEmpty()) << "no fetch for no place, even with a WOEID";

    file = "0\r\n0\r\n1\r\n0\r\n0\r\n\r\n0\r\nSomewhere\r\n";
    frmMain& f = load(&file);
    EXPECT_TRUE(sockets[1]->connects.isEmpty());
    EXPECT_EQ(label(f, "txtTitle")->text(), "Somewhere");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !label(f, "lblBar")->text().isEmpty(); }))
        << "the name refreshes: the progress row runs";
}

TEST_F(frmMainStartupTest, OnlyStartInTrayOneStartsHidden)
{
    for (const char* value : {"0", "-1", "2"}) {
        tray.calls.clear();
        const QByteArray file = QByteArray("0\r\n") + value + "\r\n1\r\n";
        EXPECT_TRUE(load(&file).showsAfterLoad()) << value;
        EXPECT_EQ(module.WindowShown, kTrue) << value;
    }
    tray.calls.clear();
    const QByteArray file = "0\r\n1\r\n1\r\n";
    frmMain& f = load(&file);
    EXPECT_FALSE(f.showsAfterLoad());
    EXPECT_EQ(module.WindowShown, kFalse);
    EXPECT_TRUE(menuItem(f, "Open")->isEnabled());
    EXPECT_TRUE(tray.iconShown) << "a window hidden at start keeps a way back";
}

TEST_F(frmMainStartupTest, UnloadWritesTheSettingsBackAndRemovesTheIcon)
{
    // Far to the right on a wide desktop of two screens.
    screen.areas.append(QRect(1920, 0, 1920, 1080));
    const QByteArray file = "1\r\n0\r\n6\r\n45000\r\n300\r\n2459115\r\n2\r\n  Lakeside \r\n";
    frmMain& f = load(&file);
    f.Form_Unload();
    EXPECT_EQ(written(), "1\r\n0\r\n6\r\n45000\r\n300\r\n2459115\r\n0\r\nLakeside\r\n");
    EXPECT_FALSE(tray.iconShown);
    EXPECT_EQ(tray.calls.last().operation, TrayOperation::Delete);
    const int writes = storage.writes;
    f.Form_Unload();
    EXPECT_EQ(storage.writes, writes) << "unload runs once";
}

TEST_F(frmMainStartupTest, UnloadKeepsTheFetchSnapshotOfPlaceAndUnits)
{
    const QByteArray file = "0\r\n0\r\n1\r\n0\r\n0\r\n111\r\n1\r\nA\r\n";
    load(&file);
    module.Settings.LocationWoeid = "222"; // changed in memory but never fetched
    module.Settings.UseCelsius = 0;
    form->Form_Unload();
    EXPECT_TRUE(written().contains("\r\n111\r\n1\r\nA\r\n"));
}

TEST_F(frmMainStartupTest, FailedWriteLeavesTheOldFile)
{
    const QByteArray file = "0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\nOld\r\n";
    load(&file);
    storage.unwritable.insert(storage.settingsPath());
    module.Settings.LocationName = "New";
    form->Form_Unload();
    EXPECT_EQ(written(), file);
    EXPECT_EQ(storage.files.size(), 1);
}

TEST_F(frmMainStartupTest, TwoWritesOfTheSameSettingsGiveTheSameBytes)
{
    const QByteArray file = "0\r\n0\r\n1\r\n15\r\n30\r\n1\r\n0\r\nX\r\n";
    load(&file);
    form->Form_Unload();
    const QByteArray first = written();
    load(&first);
    form->Form_Unload();
    EXPECT_EQ(written(), first);
    EXPECT_EQ(first, file);
}
