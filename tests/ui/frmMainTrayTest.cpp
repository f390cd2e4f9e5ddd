#include "feed/WeatherFetch.h"
#include "platform/PlatformServices.h"
#include "support/FakePlatform.h"
#include "ui/WindowPlacement.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

namespace {

class frmMainTrayTest : public testing::Test, protected FakePlatform
{
protected:
    void start(const QByteArray& file)
    {
        storage.files.insert(storage.settingsPath(), file);
        form = std::make_unique<frmMain>(module, services);
        form->Form_Load();
        if (form->showsAfterLoad())
            form->show();
    }
    void startShownWithPlace()
    {
        start("0\r\n0\r\n1\r\n1500\r\n3000\r\n2459115\r\n0\r\nLakeside, MN\r\n");
    }
    void TearDown() override
    {
        if (form) {
            form->popupMenu()->hide();
            for (frmOptions* dialog : form->openOptionsDialogs())
                dialog->cancel();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form.reset();
    }
    bool shown() const { return form->isVisible() && !form->isMinimized(); }
    bool openEnabled() const { return form->openItem()->isEnabled(); }

    Module1 module;
    std::unique_ptr<frmMain> form;
};

} // namespace

TEST_F(frmMainTrayTest, HidingAndRestoringFollowTheStateTable)
{
    startShownWithPlace();
    EXPECT_TRUE(shown());
    EXPECT_TRUE(tray.iconShown);
    EXPECT_EQ(module.WindowShown, kTrue);
    EXPECT_FALSE(openEnabled());

    form->Label3_Click(); // Shown -> In tray
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(tray.iconShown);
    EXPECT_EQ(module.WindowShown, kFalse);
    EXPECT_TRUE(openEnabled());

    tray.clickLeft(); // In tray -> Shown
    EXPECT_TRUE(shown());
    EXPECT_EQ(module.WindowShown, kTrue);
    EXPECT_FALSE(openEnabled());

    form->Label3_Click();
    form->mnuOpen_Click(); // the menu's Open does the same
    EXPECT_TRUE(shown());
    EXPECT_FALSE(openEnabled());
}

TEST_F(frmMainTrayTest, OptionsHidesTheWindowAndClosingGivesItBack)
{
    startShownWithPlace();
    form->Picture2_Click();
    ASSERT_EQ(form->openOptionsDialogs().size(), 1);
    frmOptions* dialog = form->openOptionsDialogs().first();
    EXPECT_EQ(module.ShownBeforeOptions, kTrue);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(openEnabled());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    dialog->cancel();
    EXPECT_TRUE(shown());
    EXPECT_FALSE(openEnabled());
    EXPECT_EQ(module.WindowShown, kTrue);
}

TEST_F(frmMainTrayTest, OptionsFromTheTrayTwiceLeavesTheWindowHidden)
{
    startShownWithPlace();
    form->Label3_Click();
    form->mnuOptions_Click();
    form->mnuOptions_Click();
    const QList<frmOptions*> dialogs = form->openOptionsDialogs();
    ASSERT_EQ(dialogs.size(), 2);
    EXPECT_EQ(module.ShownBeforeOptions, kFalse);
    dialogs[1]->cancel();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(openEnabled());
    dialogs[0]->cancel();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(openEnabled());
}

TEST_F(frmMainTrayTest, PeriodicFetchWhileHiddenBringsTheWindowBackAfterOptions)
{
    startShownWithPlace();
    form->Label3_Click();
    form->RefreshOptions(); // as the minute timer does
    EXPECT_EQ(module.WindowShown, kTrue);
    EXPECT_FALSE(form->isVisible());
    form->mnuOptions_Click();
    form->openOptionsDialogs().first()->cancel();
    EXPECT_TRUE(shown());
}

TEST_F(frmMainTrayTest, TooltipCarriesPlaceAndTemperatureOrTheProgramName)
{
    start("0\r\n0\r\n1\r\n");
    EXPECT_EQ(tray.shownTip, "Brisora 1.25");

    form->label("txtTitle")->setText("  options: Select Location ");
    form->Label3_Click();
    EXPECT_EQ(form->trayIconRecord().szTip, "Brisora 1.25") << "spaces around do not count";

    form->label("txtTitle")->setText("Options: select location");
    form->label("txtTemp")->setText("27 °F");
    form->Label3_Click();
    EXPECT_EQ(form->trayIconRecord().szTip, "Options: select location : 27 °F")
        << "a title that differs in letter case is a place";

    form->label("txtTitle")->setText(QString(60, QChar(0x00E3)));
    form->Label3_Click();
    EXPECT_EQ(form->trayIconRecord().szTip, QString(60, QChar(0x00E3)) + " : ");
    EXPECT_EQ(form->trayIconRecord().szTip.size(), 63);
}

TEST_F(frmMainTrayTest, TitleStripButtonStates)
{
    startShownWithPlace();
    form->move(300, 400);
    module.Settings.WindowLeft = 1;
    form->Label6_MouseMove(3, QPoint(310, 405));
    EXPECT_EQ(module.Settings.WindowLeft, 4500) << "state 3 records the position";
    EXPECT_EQ(form->pos(), QPoint(300, 400)) << "and moves nothing";
    EXPECT_EQ(form->popupMenuOpenings(), 0);

    form->Label6_MouseMove(2, QPoint(310, 405));
    EXPECT_EQ(form->popupMenuOpenings(), 1);
    form->popupMenu()->hide();
    form->Label6_MouseDown(2);
    form->Frame1_MouseDown(2);
    EXPECT_EQ(form->popupMenuOpenings(), 3);
    form->popupMenu()->hide();
    form->Label6_MouseDown(1);
    form->Frame1_MouseDown(4);
    EXPECT_EQ(form->popupMenuOpenings(), 3);
}

TEST_F(frmMainTrayTest, LeftButtonDragMovesTheWindowAndRecordsWhereItEnded)
{
    startShownWithPlace();
    form->move(300, 400);
    form->Label6_MouseMove(1, QPoint(310, 405)); // offscreen: no window manager move
    form->Label6_MouseMove(1, QPoint(410, 455));
    EXPECT_EQ(form->pos(), QPoint(400, 450));
    form->Label6_MouseMove(0, QPoint(410, 455)); // button released
    EXPECT_EQ(module.Settings.WindowLeft, 6000);
    EXPECT_EQ(module.Settings.WindowTop, 6750);

    form->Label3_Click();
    form->move(0, 0);
    form->restore_from_tray();
    EXPECT_EQ(form->pos(), QPoint(400, 450)) << "restore puts the window where it was dragged";
}

TEST_F(frmMainTrayTest, TitleStripWhileHiddenReadsTrayCodes)
{
    startShownWithPlace();
    form->Label3_Click();
    module.Settings.WindowLeft = 7;
    form->Frame1_MouseMove(1, QPoint(20, 5), QPoint(100, 100));
    EXPECT_EQ(module.Settings.WindowLeft, 7) << "no drag and no record while hidden";
    form->Frame1_MouseMove(0, QPoint(516, 5), QPoint());
    EXPECT_EQ(form->popupMenuOpenings(), 1);
    form->popupMenu()->hide();
    form->Frame1_MouseMove(0, QPoint(515, 5), QPoint());
    EXPECT_EQ(module.WindowShown, kTrue);

    form->Label3_Click();
    form->Form_MouseMove(0, QPoint(515, 3));
    EXPECT_EQ(module.WindowShown, kFalse) << "the double-click code does nothing";
    form->Form_MouseMove(0, QPoint(514, 3));
    EXPECT_EQ(module.WindowShown, kTrue);
}

TEST_F(frmMainTrayTest, OnlyMinusOneMeansTopMost)
{
    QWidget window;
    frmMain::SetTopMostWindow(&window, 1);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    frmMain::SetTopMostWindow(&window, -1);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    frmMain::SetTopMostWindow(&window, 0);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(frmMainTrayTest, PositionOffEveryScreenIsBroughtBackWithoutChangingTheStoredValue)
{
    // Recorded on a second monitor that is gone now.
    start("0\r\n0\r\n1\r\n40500\r\n1500\r\n\r\n0\r\n>none\r\n");
    EXPECT_EQ(form->pos(), QPoint(1920 - form->width(), 100));
    EXPECT_EQ(module.Settings.WindowLeft, 40500);

    EXPECT_EQ(
        WindowPlacement::reachablePosition(QRect(2700, 100, 207, 331),
                                           {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)}),
        QPoint(2700, 100));
    EXPECT_EQ(
        WindowPlacement::reachablePosition(QRect(-500, -500, 207, 331),
                                           {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)}),
        QPoint(0, 0));
    EXPECT_EQ(
        WindowPlacement::reachablePosition(QRect(1900, 100, 207, 331), {QRect(0, 0, 1920, 1080)}),
        QPoint(1713, 100))
        << "a strip with less than a grab's width on screen is pulled in";
}

TEST_F(frmMainTrayTest, WhereWindowsCannotBePlacedTheStoredPlacePassesThrough)
{
    screen.places = false; // a native Wayland session
    startShownWithPlace();
    EXPECT_NE(form->pos(), QPoint(100, 200)) << "no place is asked for";
    form->Label3_Click();
    form->mnuOpen_Click();
    form->mnuOptions_Click();
    form->mnuExit_Click();
    EXPECT_TRUE(
        storage.files.value(storage.settingsPath()).startsWith("0\r\n0\r\n1\r\n1500\r\n3000\r\n"));
}

TEST_F(frmMainTrayTest, RecordedPositionsRoundHalvesToEven)
{
    EXPECT_EQ(WindowPlacement::roundTwips(2.5), 2);
    EXPECT_EQ(WindowPlacement::roundTwips(3.5), 4);
    EXPECT_EQ(WindowPlacement::roundTwips(-2.5), -2);
    EXPECT_EQ(WindowPlacement::roundTwips(1e12), 2147483647);
}

TEST_F(frmMainTrayTest, StartInTrayHidesWithAnIconOrMinimizesWithoutATrayHost)
{
    start("0\r\n1\r\n1\r\n");
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(tray.iconShown);
    EXPECT_TRUE(openEnabled());
    TearDown();

    tray.available = false;
    tray.iconShown = false;
    start("0\r\n1\r\n1\r\n");
    EXPECT_TRUE(form->isMinimized()) << "no tray host: the task bar keeps a way back";
    form->Label3_Click();
    EXPECT_TRUE(form->isVisible());
    tray.setAvailable(true);
    EXPECT_TRUE(tray.iconShown) << "a tray host that appears later gets the icon";
}

TEST_F(frmMainTrayTest, ExitWithAnOptionsDialogOpenCancelsItAndWritesTheSettings)
{
    startShownWithPlace();
    form->mnuOptions_Click();
    frmOptions* dialog = form->openOptionsDialogs().first();
    QPointer<frmOptions> watch(dialog);
    form->mnuExit_Click();
    EXPECT_TRUE(form->unloaded());
    EXPECT_FALSE(watch && watch->isVisible());
    EXPECT_FALSE(tray.iconShown);
    EXPECT_TRUE(storage.files.value(storage.settingsPath()).endsWith("Lakeside, MN\r\n"));
    form->mnuOptions_Click();
    EXPECT_TRUE(form->openOptionsDialogs().isEmpty()) << "no dialog after the program unloaded";
}
