#include "frmMain.h"

#include "Fonts.h"
#include "ScreenMetrics.h"
#include "TcpClient.h"
#include "TrayIconService.h"
#include "WeatherFetch.h"
#include "art/SvgArt.h"
#include "art/WindowIcon.h"
#include "feed/FeedCutter.h"
#include "frmOptions.h"
#include "layout/MainWindowLayout.h"
#include "panel/WeatherPanel.h"
#include "settings/SettingsFile.h"
#include "widgets/LayoutControls.h"
#include "widgets/PointerEvents.h"
#include "window/WindowDrag.h"
#include "window/WindowFront.h"
#include "window/WindowPosition.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMenu>

#include <cmath>

namespace brisora {

namespace {

constexpr auto kSansSerif = "MS Sans Serif";
constexpr double kTitleFontPoints = 9.75;
// Tray notification codes as pointer-message numbers: left button released, its double
// click (which the title strip answers), right button pressed.
constexpr int kLeftButtonUpCode = 514;
constexpr int kStripRestoreCode = 515;
constexpr int kRightButtonDownCode = 516;
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

} // namespace

frmMain::frmMain(Module1& module, PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), module_(module), platform_(platform)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brisora"));
    setWindowIcon(windowIconFromArt());
    paintColours(this, kWhite, &kBlack);
    position_ = std::make_unique<WindowPosition>(*this, platform_.screen, module_.Settings);
    buildControls();
    buildMenu();
    fetch_ = std::make_unique<WeatherFetch>(module_, platform_.newSocket(),
                                            parseServiceHost(platform_.feedHost), *this);
    connect(&platform_.tray, &TrayIconService::leftButtonReleased, this,
            &frmMain::restore_from_tray);
    connect(&platform_.tray, &TrayIconService::rightButtonPressed, this, &frmMain::openPopupMenu);
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

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QLatin1String(L::Frame1.name));
    Frame1->setFrameShape(QFrame::NoFrame);
    Frame1->setGeometry(pixelRect(L::Frame1, screen));
    paintColours(Frame1, kBlack, &kWhite);

    // The minimize mark shares the program name's font: one font family fewer to load.
    const QFont title = layoutFont(QLatin1String(kSansSerif), kTitleFontPoints);
    Label6 = addLayoutLabel(L::Label6, Frame1, QStringLiteral("Brisora"), title, screen);
    paintColours(Label6, kBlack, &kWhite);
    Label3 = addLayoutLabel(L::Label3, Frame1, QStringLiteral("  _"), title, screen);
    paintColours(Label3, kWhite, &kBlack);
    Label3->setCursor(Qt::PointingHandCursor);

    panel_ = std::make_unique<WeatherPanel>(this, screen);

    Picture2 = new QLabel(this);
    Picture2->setObjectName(QLatin1String(L::Picture2.name));
    Picture2->setGeometry(pixelRect(L::Picture2, screen));
    Picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture2->setCursor(Qt::PointingHandCursor);
    paintColours(Picture2, kWhite, &kBlack);
    // The art is drawn into the box it stands in (the box is 76 × 26 at 96 dpi, the art's own
    // canvas 77 × 28): scaled from the vector source it stays sharp, and no edge is cut off.
    Picture2->setPixmap(drawSvg(QStringLiteral(":/options-button.svg"),
                                Picture2->size() * devicePixelRatioF(), devicePixelRatioF()));

    // Made before the drag, whose watch on the window must see every pointer event first.
    connect(new PointerEvents(this), &PointerEvents::mouseMove, this,
            [this](int buttons, QPoint position, QPoint) { Form_MouseMove(buttons, position); });
    drag_ = new WindowDrag(this);
    auto* label6Events = new PointerEvents(Label6);
    connect(label6Events, &PointerEvents::mouseMove, this,
            [this](int buttons, QPoint, QPoint global) { Label6_MouseMove(buttons, global); });
    connect(label6Events, &PointerEvents::mouseDown, this,
            [this](int button, QPoint, QPoint) { Label6_MouseDown(button); });
    auto* frame1Events = new PointerEvents(Frame1);
    connect(frame1Events, &PointerEvents::mouseMove, this, &frmMain::Frame1_MouseMove);
    connect(frame1Events, &PointerEvents::mouseDown, this,
            [this](int button, QPoint, QPoint) { Frame1_MouseDown(button); });
    for (PointerEvents* strip : {label6Events, frame1Events})
        connect(strip, &PointerEvents::mouseUp, drag_, &WindowDrag::pointerWithoutLeftButton);
    connect(drag_, &WindowDrag::moveEnded, this, &frmMain::userMoveEnded);

    connect(new PointerEvents(Label3), &PointerEvents::clicked, this, &frmMain::Label3_Click);
    connect(new PointerEvents(Picture2), &PointerEvents::clicked, this, &frmMain::Picture2_Click);
}

void frmMain::buildMenu()
{
    mnuMain = new QMenu(QStringLiteral("Main"), this);
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    mnuOpen = mnuMain->addAction(QStringLiteral("Open"), this, &frmMain::mnuOpen_Click);
    mnuRefresh =
        mnuMain->addAction(QStringLiteral("Refresh Now"), this, &frmMain::mnuRefresh_Click);
    mnuOptions = mnuMain->addAction(QStringLiteral("Options"), this, &frmMain::mnuOptions_Click);
    mnuMain->addSeparator();
    mnuExit = mnuMain->addAction(QStringLiteral("Exit"), this, &frmMain::mnuExit_Click);
}

// ---- start-up and shutdown ----

void frmMain::Form_Load()
{
    module_.AppVersion = platform_.appVersion;
    panel_->setBar(QString());
    SetTopMostWindow(this, kTrue);
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
        TrayIconRecord_.storeTip(
            QString::fromUtf8(cut.tooltip.data(), static_cast<qsizetype>(cut.tooltip.size())));
        platform_.tray.Shell_NotifyIcon(TrayOperation::Modify, TrayIconRecord_);
    }
}

// ---- placement ----

int frmMain::SetTopMostWindow(QWidget* window, std::int16_t Topmost)
{
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, Topmost == kTrue);
    // Changing a flag re-creates a shown window hidden; put it back as it was.
    if (wasVisible)
        window->show();
    return 1;
}

void frmMain::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (drag_ && drag_->active())
        recordPosition();
}

// ---- the title strip ----

void frmMain::titleStripMove(int Button, QPoint globalPosition)
{
    if (Button == 1)
        drag_->leftButtonMove(globalPosition);
    else
        drag_->pointerWithoutLeftButton();
    recordPosition();
    if (Button == 2)
        openPopupMenu();
}

void frmMain::Label6_MouseMove(int Button, QPoint globalPosition)
{
    titleStripMove(Button, globalPosition);
}

void frmMain::Frame1_MouseMove(int Button, QPoint position, QPoint globalPosition)
{
    if (module_.WindowShown == kTrue) {
        titleStripMove(Button, globalPosition);
        return;
    }
    // While hidden the strip's X carries a tray notification code, in pixels.
    trayNotification(position.x(), kStripRestoreCode);
}

void frmMain::Form_MouseMove(int, QPoint position)
{
    trayNotification(position.x(), kLeftButtonUpCode);
}

void frmMain::trayNotification(int code, int restoreCode)
{
    if (code == restoreCode)
        restore_from_tray();
    else if (code == kRightButtonDownCode)
        openPopupMenu();
}

void frmMain::openPopupMenu()
{
    ++popupMenuOpenings_;
    // Not modal: the fetch's ticks and socket events go on while the menu is open.
    if (!mnuMain->isVisible())
        mnuMain->popup(QCursor::pos());
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
    TrayIconRecord_.hIcon = windowIcon();
    TrayIconRecord_.storeTip(trayTip());
}

void frmMain::show_in_tray()
{
    module_.WindowShown = kTrue;
    mnuOpen->setEnabled(false);
    fillTrayIconRecord();
    platform_.tray.Shell_NotifyIcon(TrayOperation::Add, TrayIconRecord_);
}

void frmMain::minimize_to_tray()
{
    module_.WindowShown = kFalse;
    mnuOpen->setEnabled(true);
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
    mnuOpen->setEnabled(false);
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
    dialog->show();
    SetTopMostWindow(dialog, kTrue);
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
    if (available) {
        // A notification area appeared after start-up: put the icon there now.
        fillTrayIconRecord();
        platform_.tray.Shell_NotifyIcon(TrayOperation::Add, TrayIconRecord_);
    } else if (!isVisible()) {
        trayLostWhileHidden();
    }
}

void frmMain::trayLostWhileHidden()
{
    // With its icon gone a hidden window has no way back: an options dialog gives it back
    // when it closes, otherwise it comes back now.
    if (!openOptionsDialogs().isEmpty())
        module_.ShownBeforeOptions = kTrue;
    else
        restore_from_tray();
}

void frmMain::setOpenItemEnabled(bool enabled)
{
    mnuOpen->setEnabled(enabled);
}

void frmMain::showMainWindow()
{
    minimizedToTaskBar_ = false;
    bringToFront(*this);
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
