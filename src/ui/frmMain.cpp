#include "frmMain.h"

#include "CaptionLabel.h"
#include "ConditionImages.h"
#include "Fonts.h"
#include "MainWindowLayout.h"
#include "PointerEvents.h"
#include "ScreenMetrics.h"
#include "SettingsStorage.h"
#include "TcpClient.h"
#include "TrayIconService.h"
#include "WeatherFetch.h"
#include "WindowDrag.h"
#include "WindowFront.h"
#include "WindowIcon.h"
#include "WindowPlacement.h"
#include "app/SettingsCodec.h"
#include "feed/FeedCutter.h"
#include "frmOptions.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace brisora {

namespace {

constexpr auto kCourierNew = "Courier New";
constexpr double kPanelFontPoints = 8.25;
constexpr auto kSansSerif = "MS Sans Serif";
constexpr double kTitleFontPoints = 9.75;
constexpr int kFirstRunMarginPixels = 24;
constexpr double kStandardTwipsPerPixel = 15.0; // 96 dots per inch
// Tray notification codes as pointer-message numbers: left button released, its double
// click (which the title strip answers), right button pressed.
constexpr int kLeftButtonUpCode = 514;
constexpr int kStripRestoreCode = 515;
constexpr int kRightButtonDownCode = 516;
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kCyan(0, 255, 255);
const QColor kLightCyan(192, 255, 255);

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

void paintColours(QWidget* widget, const QColor& text, const QColor* background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    if (background) {
        palette.setColor(QPalette::Window, *background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

/// Shows only the lines that fit a label's height whole: a line cut through the middle reads
/// as noise, while the laid-out heights leave a few pixels below the last whole line.
void showWholeLinesOnly(QLabel* label)
{
    // Lines stand a fractional spacing apart: round the shown height up, never down, or
    // the last line loses the foot of its descenders.
    const double lineSpacing = QFontMetricsF(label->font()).lineSpacing();
    const int lines = std::max(1, static_cast<int>(label->height() / lineSpacing));
    const int shown = static_cast<int>(std::ceil(lines * lineSpacing));
    label->setContentsMargins(0, 0, 0, std::max(0, label->height() - shown));
}

QPixmap renderSvg(const QString& path, QSize size, double devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

frmMain::frmMain(Module1& module, PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), module_(module), platform_(platform)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brisora"));
    setWindowIcon(windowIconFromArt());
    paintColours(this, kWhite, &kBlack);
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

QRect frmMain::pixelRect(const char* name) const
{
    return MainWindowLayout::toPixels(*MainWindowLayout::find(name),
                                      platform_.screen.twipsPerPixelX(),
                                      platform_.screen.twipsPerPixelY());
}

QLabel* frmMain::addLabel(const char* name, QWidget* container, const QString& caption,
                          const QFont& font)
{
    auto* label = new CaptionLabel(caption, container);
    label->setObjectName(QLatin1String(name));
    // Captions come from a remote reply: never let them be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    label->setGeometry(pixelRect(name));
    showWholeLinesOnly(label);
    paintColours(label, kBlack, nullptr);
    return label;
}

void frmMain::buildControls()
{
    const double tppX = platform_.screen.twipsPerPixelX();
    const double tppY = platform_.screen.twipsPerPixelY();
    setFixedSize(static_cast<int>(std::lround(MainWindowLayout::kWidthTwips / tppX)),
                 static_cast<int>(std::lround(MainWindowLayout::kHeightTwips / tppY)));
    const QFont courier = layoutFont(QLatin1String(kCourierNew), kPanelFontPoints);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::NoFrame);
    Frame1->setGeometry(pixelRect("Frame1"));
    paintColours(Frame1, kBlack, &kWhite);

    Label6 = addLabel("Label6", Frame1, QStringLiteral("Brisora"),
                      layoutFont(QLatin1String(kSansSerif), kTitleFontPoints));
    paintColours(Label6, kBlack, &kWhite);
    // The minimize mark shares the program name's font: one font family fewer to load.
    Label3 = addLabel("Label3", Frame1, QStringLiteral("  _"),
                      layoutFont(QLatin1String(kSansSerif), kTitleFontPoints));
    paintColours(Label3, kWhite, &kBlack);
    Label3->setCursor(Qt::PointingHandCursor);

    txtTitle = addLabel("txtTitle", this, QLatin1String(kNoPlaceTitle), courier);
    txtDateTime = addLabel("txtDateTime", this, QString(), courier);
    for (QLabel* line : {txtTitle, txtDateTime}) {
        line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        paintColours(line, kCyan, &kBlack);
    }

    picPanel = new QWidget(this);
    picPanel->setObjectName(QStringLiteral("picPanel"));
    picPanel->setGeometry(pixelRect("picPanel"));
    paintColours(picPanel, kBlack, &kLightCyan);

    Picture1 = new QLabel(picPanel);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(pixelRect("Picture1"));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Filled with the panel colour it inherits, so the picture sits on the light cyan.
    Picture1->setAutoFillBackground(true);

    addLabel("Label1", picPanel, QStringLiteral("Temp :"), courier);
    txtTemp = addLabel("txtTemp", picPanel, QString(), courier);
    addLabel("Label4", picPanel, QStringLiteral("Feels :"), courier);
    txtWTemp = addLabel("txtWTemp", picPanel, QString(), courier);
    addLabel("Label8", picPanel, QStringLiteral("Wind :"), courier);
    txtWSpeed = addLabel("txtWSpeed", picPanel, QString(), courier);
    addLabel("Label2", picPanel, QStringLiteral("Condition :"), courier);
    txtCond = addLabel("txtCond", picPanel, QString(), courier);
    addLabel("Label9", picPanel, QStringLiteral("Forecast :"), courier);
    txtDay1 = addLabel("txtDay1", picPanel, QString(), courier);
    txtDay2 = addLabel("txtDay2", picPanel, QString(), courier);
    lblBar = addLabel("lblBar", picPanel, QString(28, QLatin1Char('-')), courier);
    lblBar->setWordWrap(false);

    Picture2 = new QLabel(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(pixelRect("Picture2"));
    Picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture2->setCursor(Qt::PointingHandCursor);
    paintColours(Picture2, kWhite, &kBlack);
    // The art is drawn into the box it stands in (the box is 76 × 26 at 96 dpi, the art's own
    // canvas 77 × 28): scaled from the vector source it stays sharp, and no edge is cut off.
    Picture2->setPixmap(
        renderSvg(QStringLiteral(":/options-button.svg"), Picture2->size(), devicePixelRatioF()));

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

QLabel* frmMain::label(const char* name) const
{
    return findChild<QLabel*>(QLatin1String(name));
}

// ---- start-up and shutdown ----

void frmMain::Form_Load()
{
    module_.AppVersion = platform_.appVersion;
    lblBar->setText(QString());
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
        txtTitle->setText(fromUtf8(name));
        txtTitle->repaint();
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
    SettingsStorage& storage = platform_.settingsStorage;
    const std::optional<QByteArray> file = storage.read(storage.settingsPath());
    if (!file) {
        // First run: an hourly refresh, no place, and the window in the top-right area of
        // the primary screen where it is sure to be seen.
        module_.Settings = firstRunSettings();
        const QList<QRect> areas = platform_.screen.screenAreas();
        const QRect primary = areas.isEmpty() ? QRect(0, 0, 1024, 768) : areas.first();
        const int left = primary.right() + 1 - width() - kFirstRunMarginPixels;
        const int top = primary.top() + kFirstRunMarginPixels;
        module_.Settings.WindowLeft =
            WindowPlacement::roundTwips(left * platform_.screen.twipsPerPixelX());
        module_.Settings.WindowTop =
            WindowPlacement::roundTwips(top * platform_.screen.twipsPerPixelY());
        return;
    }
    const DecodedSettings decoded = decodeSettings(file->toStdString(), Settings{});
    module_.Settings = decoded.settings;
    if (decoded.linesRead >= 6)
        fetch_->seedWoeid(module_.Settings.LocationWoeid);
    if (decoded.linesRead >= 7)
        fetch_->seedMetric(module_.Settings.UseCelsius == 1);
}

void frmMain::SaveConfig()
{
    module_.Settings.LocationWoeid = fetch_->fetchWoeid();
    module_.Settings.UseCelsius = fetch_->fetchMetric() ? 1 : 0;
    recordPosition();
    const QByteArray bytes = QByteArray::fromStdString(encodeSettings(module_.Settings));
    SettingsStorage& storage = platform_.settingsStorage;
    storage.writeAtomically(storage.settingsPath(), bytes);
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

void frmMain::mnuRefresh_Click()
{
    RefreshOptions();
}

void frmMain::setTitleCaption(const QString& caption)
{
    txtTitle->setText(caption);
}

QString frmMain::barCaption() const
{
    return lblBar->text();
}

void frmMain::setBarCaption(const QString& caption)
{
    lblBar->setText(caption);
}

void frmMain::showNetworkError()
{
    txtDay1->setText(QStringLiteral("network error"));
}

// ---- weather panel ----

void frmMain::ClearWeather()
{
    for (QLabel* value : {txtDateTime, txtTemp, txtWTemp, txtWSpeed, txtCond, txtDay1, txtDay2})
        value->setText(QString());
    Picture1->setPixmap(QPixmap());
}

void frmMain::ParseWeather(const std::string& reply)
{
    const FeedCut cut = cutFeed(reply, module_.Settings.UseCelsius);
    const int done = cut.cutsDone;
    if (done >= 1)
        txtTitle->setText(fromUtf8(cut.title));
    if (done >= 2)
        txtDateTime->setText(fromUtf8(cut.dateTime));
    if (done >= 3)
        txtWTemp->setText(fromUtf8(cut.windChill));
    if (done >= 4)
        txtWSpeed->setText(fromUtf8(cut.windSpeed));
    if (done >= 5)
        txtCond->setText(fromUtf8(cut.condition));
    if (done >= 6)
        Picture1->setPixmap(
            ConditionImages::picture(cut.imageIndex, devicePixelRatioF(),
                                     kStandardTwipsPerPixel / platform_.screen.twipsPerPixelX()));
    if (done >= 7) {
        txtTemp->setText(fromUtf8(cut.temperature));
        TrayIconRecord_.storeTip(fromUtf8(cut.tooltip));
        platform_.tray.Shell_NotifyIcon(TrayOperation::Modify, TrayIconRecord_);
    }
    if (done >= 8) {
        if (cut.day1NeedsTwoLines)
            useTwoLineForecast();
        txtDay1->setText(fromUtf8(cut.day1));
    }
    if (done >= 9)
        txtDay2->setText(fromUtf8(cut.day2));
    // An error page, a reply cut short or another layout: say so in the first forecast line
    // the reply left empty, and keep everything it did give.
    if (done < 8)
        txtDay1->setText(QLatin1String(kUnreadableWeather));
    else if (done < 9)
        txtDay2->setText(QLatin1String(kUnreadableWeather));
}

void frmMain::useTwoLineForecast()
{
    // Once a long first line has been shown the two-line layout stays for the run.
    if (twoLineForecast_)
        return;
    twoLineForecast_ = true;
    const double tppY = platform_.screen.twipsPerPixelY();
    // The first line never moves: its laid-out top keeps the exact twips.
    const double day1TopTwips = MainWindowLayout::find("txtDay1")->top;
    txtDay1->resize(txtDay1->width(), static_cast<int>(std::lround(
                                          MainWindowLayout::kDay1TwoLineHeightTwips / tppY)));
    showWholeLinesOnly(txtDay1);
    txtDay2->move(txtDay2->x(),
                  static_cast<int>(std::lround(
                      (day1TopTwips + MainWindowLayout::kDay2OffsetBelowDay1Twips) / tppY)));
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

double frmMain::leftTwips() const
{
    return x() * platform_.screen.twipsPerPixelX();
}

double frmMain::topTwips() const
{
    return y() * platform_.screen.twipsPerPixelY();
}

void frmMain::setLeftTwips(double twips)
{
    move(static_cast<int>(std::lround(twips / platform_.screen.twipsPerPixelX())), y());
}

void frmMain::setTopTwips(double twips)
{
    move(x(), static_cast<int>(std::lround(twips / platform_.screen.twipsPerPixelY())));
}

void frmMain::applyRecordedPosition(bool topFirst)
{
    if (!platform_.screen.placesWindows())
        return;
    const double tppX = platform_.screen.twipsPerPixelX();
    const double tppY = platform_.screen.twipsPerPixelY();
    const QRect recorded(static_cast<int>(std::lround(module_.Settings.WindowLeft / tppX)),
                         static_cast<int>(std::lround(module_.Settings.WindowTop / tppY)), width(),
                         height());
    // A monitor unplugged since the position was recorded must not strand the window, nor
    // lose the place it had there: the stored value stays until the user moves the window.
    const QPoint target =
        WindowPlacement::reachablePosition(recorded, platform_.screen.screenAreas());
    pulledInAt_.reset();
    if (target != recorded.topLeft())
        pulledInAt_ = target;
    if (topFirst) {
        move(x(), target.y());
        move(target.x(), target.y());
    } else {
        move(target.x(), y());
        move(target.x(), target.y());
    }
}

void frmMain::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (drag_ && drag_->active())
        recordPosition();
}

void frmMain::recordPosition()
{
    // Where windows cannot be placed, the window's edges say nothing about where it
    // stands: the stored place waits for a desktop that can place it. Neither do they while
    // the window stands where it was pulled onto a screen.
    if (!platform_.screen.placesWindows() || (pulledInAt_ && pos() == *pulledInAt_))
        return;
    module_.Settings.WindowLeft = WindowPlacement::roundTwips(leftTwips());
    module_.Settings.WindowTop = WindowPlacement::roundTwips(topTwips());
}

void frmMain::userMoveEnded()
{
    pulledInAt_.reset();
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

void frmMain::Label6_MouseDown(int Button)
{
    if (Button == 2)
        openPopupMenu();
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

void frmMain::Frame1_MouseDown(int Button)
{
    if (Button == 2)
        openPopupMenu();
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
    if (trimSpaces(txtTitle->text()) != QLatin1String(kNoPlaceTitle))
        return txtTitle->text() + QStringLiteral(" : ") + txtTemp->text();
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

void frmMain::Picture2_Click()
{
    mnuOptions_Click();
}

void frmMain::mnuOpen_Click()
{
    restore_from_tray();
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

void frmMain::mnuExit_Click()
{
    Form_Unload();
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

void frmMain::saveForSession()
{
    if (!unloaded_)
        SaveConfig();
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
