#include "frmMain.h"

#include <QTimer>

#include "ScreenMetrics.h"
#include "TcpClient.h"
#include "TrayIconService.h"
#include "WeatherFetch.h"
#include "WindowDesktopHints.h"
#include "art/Art.h"
#include "art/WindowIcon.h"
#include "feed/FeedCutter.h"
#include "frmOptions.h"
#include "layout/MainWindowLayout.h"
#include "panel/WeatherPanel.h"
#include "settings/SettingsFile.h"
#include "widgets/Colours.h"
#include "widgets/LayoutControls.h"
#include "widgets/PointerEvents.h"
#include "window/MainMenu.h"
#include "window/TitleStrip.h"
#include "window/WindowFront.h"
#include "window/WindowPosition.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStyle>

#include <cmath>

namespace brisora {

namespace {
constexpr int kRestoreCheckMs = 500;
} // namespace

namespace {

using namespace colours;

// Tray notification codes as pointer-message numbers: left button released, its double
// click (which the title strip answers), right button pressed.
constexpr int kLeftButtonUpCode = 514;
constexpr int kStripRestoreCode = 515;
constexpr int kRightButtonDownCode = 516;

} // namespace

frmMain::frmMain(Module1& module, PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), module_(module), platform_(platform)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brisora"));
    paintColours(this, kWhite, &kBlack);
    position_ = std::make_unique<WindowPosition>(*this, platform_.screen, module_.Settings);
    buildControls();
    fetch_ = std::make_unique<WeatherFetch>(module_, platform_.newSocket(),
                                            parseServiceHost(platform_.feedHost), platform_.clock,
                                            *this);
    connect(&platform_.tray, &TrayIconService::leftButtonReleased, this,
            &frmMain::restore_from_tray);
    connect(&platform_.tray, &TrayIconService::availabilityChanged, this,
            &frmMain::trayAvailabilityChanged);
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    namespace L = mainLayout;
    const ScreenMetrics& screen = platform_.screen;
    setFixedSize(L::toPixels(L::kWidthTwips, screen.twipsPerPixelX()),
                 L::toPixels(L::kHeightTwips, screen.twipsPerPixelY()));

    strip_ = std::make_unique<TitleStrip>(*this, screen, *position_);
    connect(&strip_->nameEvents(), &PointerEvents::mouseMove, this, &frmMain::Label6_MouseMove);
    connect(&strip_->nameEvents(), &PointerEvents::mouseDown, this, &frmMain::Label6_MouseDown);
    connect(&strip_->stripEvents(), &PointerEvents::mouseMove, this, &frmMain::Frame1_MouseMove);
    connect(&strip_->stripEvents(), &PointerEvents::mouseDown, this, &frmMain::Frame1_MouseDown);
    connect(&strip_->markEvents(), &PointerEvents::clicked, this, &frmMain::Label3_Click);
    connect(&strip_->windowEvents(), &PointerEvents::mouseMove, this, &frmMain::Form_MouseMove);

    panel_ = std::make_unique<WeatherPanel>(this, screen);

    Picture2 = new QLabel(this);
    Picture2->setObjectName(QLatin1String(L::Picture2.name));
    Picture2->setGeometry(pixelRect(L::Picture2, screen));
    Picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture2->setCursor(Qt::PointingHandCursor);
    paintColours(Picture2, kWhite, &kBlack);
    // The art is drawn into the box it stands in (the box is 76 × 26 at 96 dpi, the art's own
    // canvas 77 × 28): scaled from the vector source it stays sharp, and no edge is cut off.
    Picture2->setPixmap(drawArt(QStringLiteral("options-button"),
                                Picture2->size() * devicePixelRatioF(), devicePixelRatioF()));
    connect(new PointerEvents(Picture2), &PointerEvents::clicked, this, &frmMain::Picture2_Click);

    mnuMain = new MainMenu(this);
    connect(mnuMain, &MainMenu::openChosen, this, &frmMain::mnuOpen_Click);
    connect(mnuMain, &MainMenu::refreshChosen, this, &frmMain::mnuRefresh_Click);
    connect(mnuMain, &MainMenu::optionsChosen, this, &frmMain::mnuOptions_Click);
    connect(mnuMain, &MainMenu::exitChosen, this, &frmMain::mnuExit_Click);
    connect(strip_.get(), &TitleStrip::menuRequested, mnuMain, &MainMenu::openAtPointer);
    platform_.tray.setContextMenu(*mnuMain);
}

// ---- start-up and shutdown ----

void frmMain::Form_Load()
{
    module_.AppVersion = platform_.appVersion;
    panel_->setBar(QString());
    SetTopMostWindow(this, kTrue);
    updateDesktopHints(platform_.tray.isAvailable());
    LoadConfig();
    applyRecordedPosition(false);
    if (module_.Settings.StartInTray == 1) {
        startsHidden_ = true;
        minimize_to_tray();
        // The hidden window must stay reachable: the icon is its only way back.
        fillTrayIconRecord();
        platform_.tray.Shell_NotifyIcon(TrayOperation::Add, TrayIconRecord_);
    } else {
        show_in_tray();
    }
    const std::string& name = module_.Settings.LocationName;
    if (name != ">none" && !name.empty()) {
        panel_->showPlaceName(name);
        RefreshOptions();
    }
}

void frmMain::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // A dialog left open would hand a window back over a settings file already written:
    // close each as Cancel does, so no choice is half kept.
    for (frmOptions* dialog : openOptionsDialogs())
        dialog->cancel();
    SaveConfig();
    platform_.tray.Shell_NotifyIcon(TrayOperation::Delete, TrayIconRecord_);
    emit unloadedForGood();
}

void frmMain::LoadConfig()
{
    const SettingsFile file(platform_.settingsStorage, platform_.screen);
    const std::optional<DecodedSettings> decoded = file.read();
    if (!decoded) {
        module_.Settings = file.firstRunSettings(size());
        return;
    }
    module_.Settings = decoded->settings;
    if (decoded->linesRead >= 6)
        fetch_->seedWoeid(module_.Settings.LocationWoeid);
    if (decoded->linesRead >= 7)
        fetch_->seedMetric(module_.Settings.UseCelsius == 1);
}

void frmMain::SaveConfig()
{
    module_.Settings.LocationWoeid = fetch_->fetchWoeid();
    module_.Settings.UseCelsius = fetch_->fetchMetric() ? 1 : 0;
    recordPosition();
    SettingsFile(platform_.settingsStorage, platform_.screen).write(module_.Settings);
}

// ---- the weather fetch ----

void frmMain::RefreshOptions()
{
    fetch_->RefreshOptions();
}

void frmMain::tmrData_Timer()
{
    fetch_->tmrData_Timer();
}

void frmMain::tmrInterval_Timer()
{
    fetch_->tmrInterval_Timer();
}

// ---- weather panel ----

void frmMain::ParseWeather(const std::string& reply)
{
    const FeedCut cut = cutFeed(reply, module_.Settings.UseCelsius);
    panel_->showCut(cut, devicePixelRatioF());
    if (cut.cutsDone >= 7) {
        TrayIconRecord_.storeTip(QString::fromStdString(cut.tooltip));
        platform_.tray.Shell_NotifyIcon(TrayOperation::Modify, TrayIconRecord_);
    }
}

// ---- placement ----

int frmMain::SetTopMostWindow(QWidget* window, std::int16_t Topmost)
{
    const bool wasVisible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, Topmost == kTrue);
    // Changing a flag re-creates a shown window hidden; put it back as it was, where it was:
    // mapped anew without its place, a framed window would have its frame put where its
    // client area stood.
    if (wasVisible) {
        window->setGeometry(geometry);
        window->show();
    }
    return 1;
}

// ---- the title strip ----

void frmMain::Label6_MouseMove(int Button, QPoint, QPoint globalPosition)
{
    strip_->pointerMove(Button, globalPosition);
}

void frmMain::Label6_MouseDown(int Button, QPoint, QPoint)
{
    if (Button == 2)
        mnuMain->openAtPointer();
}

void frmMain::Frame1_MouseDown(int Button, QPoint, QPoint)
{
    if (Button == 2)
        mnuMain->openAtPointer();
}

void frmMain::Frame1_MouseMove(int Button, QPoint position, QPoint globalPosition)
{
    if (module_.WindowShown == kTrue) {
        strip_->pointerMove(Button, globalPosition);
        return;
    }
    // While hidden the strip's X carries a tray notification code, in pixels.
    trayNotification(position.x(), kStripRestoreCode);
}

void frmMain::Form_MouseMove(int, QPoint position, QPoint)
{
    trayNotification(position.x(), kLeftButtonUpCode);
}

void frmMain::trayNotification(int code, int restoreCode)
{
    if (code == restoreCode)
        restore_from_tray();
    else if (code == kRightButtonDownCode)
        mnuMain->openAtPointer();
}

// ---- tray and menu ----

QString frmMain::trayTip() const
{
    if (panel_->showsPlace())
        return panel_->title() + QStringLiteral(" : ") + panel_->temperature();
    return QStringLiteral("Brisora ") + QString::fromStdString(module_.AppVersion);
}

void frmMain::fillTrayIconRecord()
{
    TrayIconRecord_.hIcon = artIcon_;
    TrayIconRecord_.storeTip(trayTip());
}

void frmMain::show_in_tray()
{
    module_.WindowShown = kTrue;
    mnuMain->setOpenEnabled(false);
    fillTrayIconRecord();
    platform_.tray.Shell_NotifyIcon(TrayOperation::Add, TrayIconRecord_);
}

void frmMain::minimize_to_tray()
{
    module_.WindowShown = kFalse;
    mnuMain->setOpenEnabled(true);
    // Without a notification area a hidden window could never be brought back: minimize it
    // to the task bar instead.
    minimizedToTaskBar_ = !platform_.tray.isAvailable();
    if (minimizedToTaskBar_)
        showMinimized();
    else
        hide();
    fillTrayIconRecord();
}

void frmMain::restore_from_tray()
{
    applyRecordedPosition(true);
    showMainWindow();
    module_.WindowShown = kTrue;
    mnuMain->setOpenEnabled(false);
}

void frmMain::Label3_Click()
{
    recordPosition();
    minimize_to_tray();
}

void frmMain::mnuOptions_Click()
{
    if (unloaded_)
        return;
    module_.ShownBeforeOptions = module_.WindowShown;
    recordPosition();
    minimize_to_tray();
    // A fresh dialog each time, even while another is open; it deletes itself when closed.
    optionsDialogs_.removeAll(nullptr);
    auto* dialog = new frmOptions(module_, *this, platform_);
    optionsDialogs_.append(dialog);
    centreOnWidgetScreen(*dialog);
    dialog->show();
    SetTopMostWindow(dialog, kTrue);
}

void frmMain::centreOnWidgetScreen(QWidget& window) const
{
    if (!platform_.screen.placesWindows())
        return;
    const QRect area = platform_.screen.screenAreaAt(frameGeometry().center());
    if (!area.isEmpty())
        window.setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), area));
}

QList<frmOptions*> frmMain::openOptionsDialogs() const
{
    QList<frmOptions*> open;
    for (const QPointer<frmOptions>& dialog : optionsDialogs_)
        if (dialog && dialog->isVisible()) // a closed dialog waits for its deferred delete
            open.append(dialog);
    return open;
}

void frmMain::handOverFromSecondStart()
{
    if (unloaded_)
        return;
    // An open dialog keeps the main window hidden until it closes and gives it back.
    const QList<frmOptions*> dialogs = openOptionsDialogs();
    if (!dialogs.isEmpty()) {
        bringToFront(*dialogs.last());
        return;
    }
    restore_from_tray();
}

void frmMain::trayAvailabilityChanged(bool available)
{
    if (unloaded_)
        return;
    updateDesktopHints(available);
    if (available) {
        // A notification area appeared after start-up: put the icon there now, and let it
        // stand for a window that waits in the task bar for want of one.
        fillTrayIconRecord();
        platform_.tray.Shell_NotifyIcon(TrayOperation::Add, TrayIconRecord_);
        if (minimizedToTaskBar_ && isMinimized()) {
            minimizedToTaskBar_ = false;
            hide();
        }
    } else if (!isVisible()) {
        trayLostWhileHidden();
    }
}

void frmMain::updateDesktopHints(bool trayAvailable)
{
    // A widget stands on every workspace. Its task-bar button is the way back to a minimized
    // window only while no tray icon stands for it.
    using Entry = WindowDesktopHints::TaskBarEntry;
    platform_.desktopHints.setWidgetHints(*this, trayAvailable ? Entry::Skipped : Entry::Listed);
}

void frmMain::trayLostWhileHidden()
{
    // With its icon gone a hidden window has no way back: an options dialog gives it back
    // when it closes, otherwise it comes back now.
    if (!openOptionsDialogs().isEmpty()) {
        module_.ShownBeforeOptions = kTrue;
        return;
    }
    restore_from_tray();
    // A window hidden while minimized in the task bar may be mapped as an icon again by the
    // window manager, which remembers that state; it is asked once more when it has.
    QTimer::singleShot(kRestoreCheckMs, this, [this] {
        if (!unloaded_ && isMinimized() && !platform_.tray.isAvailable())
            showMainWindow();
    });
}

void frmMain::setOpenItemEnabled(bool enabled)
{
    mnuMain->setOpenEnabled(enabled);
}

void frmMain::showMainWindow()
{
    minimizedToTaskBar_ = false;
    bringToFront(*this);
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Giving a native window its icon draws every size at once: left until the window is on
    // screen, so it maps without waiting for the drawings.
    if (!iconGiven_) {
        iconGiven_ = true;
        QMetaObject::invokeMethod(
            this, [this] { setWindowIcon(artIcon_); }, Qt::QueuedConnection);
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Alt+F4, the task bar's Close or any other close request of the window manager.
    mnuExit_Click();
    event->accept();
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Without a notification area the task bar stands in for the tray: a restore from there
    // is a restore from the tray.
    if (event->type() == QEvent::WindowStateChange && minimizedToTaskBar_ && !isMinimized())
        restore_from_tray();
}

} // namespace brisora
