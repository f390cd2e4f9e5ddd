#include "PlatformServices.h"
#include "WeatherFetch.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "support/FakePlatform.h"
#include "support/WindowLookup.h"
#include "window/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

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
            popupMenu(*form)->hide();
            for (frmOptions* dialog : openOptionsDialogs())
                dialog->cancel();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form.reset();
    }
    bool shown() const { return form->isVisible() && !form->isMinimized(); }
    bool openEnabled() const { return menuItem(*form, "Open")->isEnabled(); }
    QWidget* child(const char* name) const { return test::child<QWidget>(*form, name); }
    /// A pointer move with `buttons` held, sent to `widget` as the window system sends it.
    static void moveOver(QWidget* widget, QPoint at, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
    /// Presses the left button on `widget` at `from`, moves by `by` in two steps, releases.
    static void drag(QWidget* widget, QPoint from, QPoint by)
    {
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        QTest::mouseMove(widget, from + QPoint(1, 0));
        QTest::mouseMove(widget, from + QPoint(1, 0) + by);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
    }
    void clickMinimizeMark() { QTest::mouseClick(child("Label3"), Qt::LeftButton); }

    Module1 module;
    std::unique_ptr<frmMain> form;
};

} // namespace

TEST_F(frmMainTrayTest, OptionsHidesTheWindowAndClosingGivesItBack)
{
    startShownWithPlace();
    form->Picture2_Click();
    ASSERT_EQ(openOptionsDialogs().size(), 1);
    frmOptions* dialog = openOptionsDialogs().first();
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

TEST_F(frmMainTrayTest, OptionsOpenInTheMiddleOfTheScreenThatHoldsTheWidget)
{
    const QRect second(1920, 0, 1280, 984);
    screen.areas = {QRect(0, 0, 1920, 1040), second};
    // At 2900, 300 pixels: on the second screen.
    start("0\r\n0\r\n1\r\n43500\r\n4500\r\n2459115\r\n0\r\nLakeside, MN\r\n");
    form->mnuOptions_Click();
    const QPoint centre = openOptionsDialogs().first()->geometry().center();
    EXPECT_LE((centre - second.center()).manhattanLength(), 2) << centre.x() << "," << centre.y();
}

TEST_F(frmMainTrayTest, OptionsFromTheTrayTwiceLeavesTheWindowHidden)
{
    startShownWithPlace();
    form->Label3_Click();
    form->mnuOptions_Click();
    form->mnuOptions_Click();
    const QList<frmOptions*> dialogs = openOptionsDialogs();
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
    openOptionsDialogs().first()->cancel();
    EXPECT_TRUE(shown());
}

TEST_F(frmMainTrayTest, TooltipCarriesPlaceAndTemperatureOrTheProgramName)
{
    start("0\r\n0\r\n1\r\n");
    EXPECT_EQ(tray.shownTip, "Brisora 1.25");

    label(*form, "txtTitle")->setText("  options: Select Location ");
    form->show_in_tray();
    EXPECT_EQ(tray.shownTip, "Brisora 1.25") << "spaces around do not count";

    label(*form, "txtTitle")->setText("Options: select location");
    label(*form, "txtTemp")->setText("27 °F");
    form->show_in_tray();
    EXPECT_EQ(tray.shownTip, "Options: select location : 27 °F")
        << "a title that differs in letter case is a place";

    label(*form, "txtTitle")->setText(QString(60, QChar(0x00E3)));
    form->show_in_tray();
    EXPECT_EQ(tray.shownTip, QString(60, QChar(0x00E3)) + " : ");
    EXPECT_EQ(tray.shownTip.size(), 63);
}

TEST_F(frmMainTrayTest, EachTitleStripEventReachesOneControlOnly)
{
    startShownWithPlace();
    form->move(300, 400);
    QWidget* name = child("Label6");
    QWidget* strip = child("Frame1");
    const QPoint bare(130, 10); // the strip's own area, between the name and the mark
    ASSERT_EQ(strip->childAt(bare), nullptr);

    QSignalSpy openings(popupMenu(*form), &QMenu::aboutToShow);
    QTest::mouseClick(name, Qt::RightButton, {}, QPoint(10, 8));
    EXPECT_EQ(openings.count(), 1) << "one press on the name, one menu";
    popupMenu(*form)->hide();
    QTest::mouseClick(strip, Qt::RightButton, {}, bare);
    EXPECT_EQ(openings.count(), 2);
    popupMenu(*form)->hide();

    // Left and right held together: the press of the right opens the menu, the move only
    // records.
    QTest::mousePress(name, Qt::LeftButton, {}, QPoint(10, 8));
    QTest::mousePress(name, Qt::RightButton, {}, QPoint(10, 8));
    EXPECT_EQ(openings.count(), 3);
    popupMenu(*form)->hide();
    module.Settings.WindowLeft = 1;
    QTest::mouseMove(name, QPoint(30, 9));
    EXPECT_EQ(module.Settings.WindowLeft, 4500);
    EXPECT_EQ(form->pos(), QPoint(300, 400));
    EXPECT_EQ(openings.count(), 3);
    QTest::mouseRelease(name, Qt::RightButton, {}, QPoint(30, 9));
    QTest::mouseRelease(name, Qt::LeftButton, {}, QPoint(30, 9));
    moveOver(name, QPoint(12, 8), Qt::RightButton);
    EXPECT_EQ(openings.count(), 4) << "a move with the right button held";
    popupMenu(*form)->hide();

    // The minimize mark takes no part in the strip's drag, three times in a row; the tray
    // icon, or the menu's Open, brings the window back.
    for (int attempt = 0; attempt < 3; ++attempt) {
        drag(child("Label3"), QPoint(9, 8), QPoint(2, 1));
        EXPECT_FALSE(form->isVisible()) << attempt;
        EXPECT_TRUE(tray.iconShown && openEnabled() && module.WindowShown == kFalse) << attempt;
        EXPECT_EQ(form->pos(), QPoint(300, 400)) << attempt;
        attempt < 2 ? tray.clickLeft() : form->mnuOpen_Click();
        EXPECT_TRUE(shown() && !openEnabled() && module.WindowShown == kTrue) << attempt;
        EXPECT_EQ(form->pos(), QPoint(300, 400)) << attempt;
    }
    EXPECT_EQ(openings.count(), 4);
}

TEST_F(frmMainTrayTest, LeftButtonDragMovesTheWindowAndRecordsWhereItEnded)
{
    startShownWithPlace();
    form->move(300, 400);
    drag(child("Label6"), QPoint(10, 8), QPoint(100, 50)); // offscreen: it follows the pointer
    EXPECT_EQ(form->pos(), QPoint(400, 450));
    EXPECT_EQ(module.Settings.WindowLeft, 6000);
    EXPECT_EQ(module.Settings.WindowTop, 6750);
    drag(child("Frame1"), QPoint(130, 10), QPoint(-50, 0));
    EXPECT_EQ(form->pos(), QPoint(350, 450)) << "the strip's own area drags too";

    clickMinimizeMark();
    form->move(0, 0);
    form->restore_from_tray();
    EXPECT_EQ(form->pos(), QPoint(350, 450)) << "restore puts the window where it was dragged";
}

TEST_F(frmMainTrayTest, TitleStripWhileHiddenReadsTrayCodes)
{
    startShownWithPlace();
    clickMinimizeMark();
    module.Settings.WindowLeft = 7;
    QWidget* strip = child("Frame1");
    QSignalSpy openings(popupMenu(*form), &QMenu::aboutToShow);
    moveOver(strip, QPoint(20, 5), Qt::LeftButton);
    EXPECT_EQ(module.Settings.WindowLeft, 7) << "no drag and no record while hidden";
    moveOver(strip, QPoint(516, 5));
    EXPECT_EQ(openings.count(), 1);
    popupMenu(*form)->hide();
    moveOver(strip, QPoint(515, 5));
    EXPECT_EQ(module.WindowShown, kTrue);

    clickMinimizeMark();
    moveOver(form.get(), QPoint(515, 3));
    EXPECT_EQ(module.WindowShown, kFalse) << "the double-click code does nothing";
    moveOver(form.get(), QPoint(514, 3));
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
    const QPoint pulledIn(1920 - form->width(), 100);
    EXPECT_EQ(form->pos(), pulledIn);
    // Every recording keeps the stored place while the window stands where it was pulled in.
    moveOver(child("Label6"), QPoint(10, 8));
    clickMinimizeMark();
    tray.clickLeft();
    EXPECT_EQ(form->pos(), pulledIn);
    form->mnuOptions_Click();
    openOptionsDialogs().first()->cancel();
    form->Form_Unload();
    EXPECT_TRUE(written().startsWith("0\r\n0\r\n1\r\n40500\r\n1500\r\n"));
    // A drag by the user ends that.
    drag(child("Label6"), QPoint(10, 8), QPoint(-100, 0));
    EXPECT_EQ(module.Settings.WindowLeft, (pulledIn.x() - 100) * 15);

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
    EXPECT_TRUE(written().startsWith("0\r\n0\r\n1\r\n1500\r\n3000\r\n"));
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
    EXPECT_EQ(tray.contextMenu, popupMenu(*form)) << "the icon opens the window's own menu";
    EXPECT_TRUE(form->isMinimized()) << "no tray host: the task bar keeps a way back";
    tray.setAvailable(true);
    EXPECT_TRUE(tray.iconShown) << "a tray host that appears later gets the icon";
    EXPECT_FALSE(form->isVisible()) << "the icon stands for the window: it leaves the task bar";
    tray.clickLeft();
    EXPECT_TRUE(shown());
}

TEST_F(frmMainTrayTest, WithoutATrayHostTheTaskBarStandsInForTheTray)
{
    tray.available = false;
    startShownWithPlace();
    clickMinimizeMark();
    ASSERT_TRUE(form->isMinimized());
    form->move(0, 0);
    form->windowHandle()->setWindowState(Qt::WindowNoState); // the task bar's restore
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown());
    EXPECT_EQ(module.WindowShown, kTrue) << "a restore from the task bar is one from the tray";
    EXPECT_FALSE(openEnabled());
    EXPECT_EQ(form->pos(), QPoint(100, 200));
    drag(child("Frame1"), QPoint(130, 10), QPoint(50, 0));
    EXPECT_EQ(form->pos(), QPoint(150, 200)) << "the strip drags again";

    // Given back by the options dialog, the window comes out of the task bar, active.
    form->Picture2_Click();
    ASSERT_TRUE(form->isMinimized());
    frmOptions* dialog = openOptionsDialogs().first();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    dialog->cancel();
    EXPECT_TRUE(shown());
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
}

TEST_F(frmMainTrayTest, ATrayHostThatGoesAwayGivesTheHiddenWindowBack)
{
    using Entry = WindowDesktopHints::TaskBarEntry;
    startShownWithPlace();
    EXPECT_EQ(desktopHints.hintedWindow, form.get());
    EXPECT_EQ(desktopHints.taskBarEntry, Entry::Skipped) << "the icon stands for the window";
    clickMinimizeMark();
    tray.setAvailable(false);
    EXPECT_TRUE(shown());
    EXPECT_EQ(module.WindowShown, kTrue);
    EXPECT_FALSE(openEnabled());
    EXPECT_EQ(desktopHints.taskBarEntry, Entry::Listed) << "the task bar is the way back now";

    tray.setAvailable(true);
    EXPECT_EQ(desktopHints.taskBarEntry, Entry::Skipped);
    clickMinimizeMark();
    form->mnuOptions_Click(); // from the tray icon's menu: the dialog would leave it hidden
    ASSERT_EQ(module.ShownBeforeOptions, kFalse);
    tray.setAvailable(false);
    EXPECT_FALSE(form->isVisible()) << "the open dialog keeps the way back";
    openOptionsDialogs().first()->cancel();
    EXPECT_TRUE(shown());
}

TEST_F(frmMainTrayTest, CloseRequestWithAnOptionsDialogOpenCancelsItAndWritesTheSettings)
{
    startShownWithPlace();
    form->mnuOptions_Click();
    QPointer<frmOptions> watch(openOptionsDialogs().first());
    QSignalSpy ended(form.get(), &frmMain::unloadedForGood);
    form->show();
    EXPECT_TRUE(form->close()) << "a close request of the window manager is the window's unload";
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(watch && watch->isVisible());
    EXPECT_FALSE(tray.iconShown);
    EXPECT_TRUE(written().endsWith("Lakeside, MN\r\n"));
    form->mnuOptions_Click();
    EXPECT_TRUE(openOptionsDialogs().isEmpty()) << "no dialog after the program unloaded";
}
