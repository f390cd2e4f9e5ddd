#pragma once

#include "FetchView.h"
#include "OptionsHost.h"
#include "PlatformServices.h"
#include "TrayIconRecord.h"
#include "app/Module1.h"
#include "art/WindowIcon.h"
#include "panel/WeatherPanel.h"
#include "window/WindowPosition.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QLabel;

namespace brisora {

class MainMenu;
class TitleStrip;
class WeatherFetch;
class WindowPosition;
class frmOptions;

/// The widget's main window: a borderless, top-most 207 × 331 pixel window with the title
/// strip, the place and time lines, the weather panel and the options button. It owns the
/// weather fetch, the tray icon record and the popup menu, and lives for the whole run.
class frmMain final : public QWidget, public FetchView, public OptionsHost
{
    Q_OBJECT
public:
    frmMain(Module1& module, PlatformServices& platform, QWidget* parent = nullptr);
    ~frmMain() override;

    /// Start-up: version, progress row, top-most, settings, position, tray state, first fetch.
    void Form_Load();
    /// Shutdown: writes the settings file and removes the tray icon. Runs at most once.
    void Form_Unload();
    /// False when start-up hid the window to the tray.
    bool showsAfterLoad() const { return !startsHidden_; }

    // The weather fetch.
    void RefreshOptions() override;
    void tmrData_Timer();
    void tmrInterval_Timer();
    void mnuRefresh_Click() { RefreshOptions(); }

    // Weather panel.
    void ClearWeather() override { panel_->clear(); }
    void ParseWeather(const std::string& reply) override;

    /// Puts `window` into the top-most band when `Topmost` is exactly -1, out of it otherwise.
    /// Position and size stay. Returns non-zero.
    static int SetTopMostWindow(QWidget* window, std::int16_t Topmost);

    // Pointer events: Button is the mask 1 left, 2 right, 4 middle; the position is in the
    // control's pixels, the global one on the screen.
    void Label6_MouseMove(int Button, QPoint position, QPoint globalPosition);
    void Label6_MouseDown(int Button, QPoint position, QPoint globalPosition);
    void Frame1_MouseMove(int Button, QPoint position, QPoint globalPosition);
    void Frame1_MouseDown(int Button, QPoint position, QPoint globalPosition);
    /// Pointer moves over the bare window; X in pixels also carries tray notification codes.
    void Form_MouseMove(int Button, QPoint position, QPoint globalPosition);

    // Tray and menu.
    void show_in_tray();
    void minimize_to_tray();
    /// Puts the window at the recorded place and gives it back, out of the minimized state,
    /// raised and active. Also what a second start asks of the running widget.
    void restore_from_tray();
    void Label3_Click();
    void Picture2_Click() { mnuOptions_Click(); }
    void mnuOpen_Click() { restore_from_tray(); }
    void mnuOptions_Click();
    void mnuExit_Click() { Form_Unload(); }
    /// A later start of the program asked for this one: the newest open options dialog
    /// comes to the front, or else the window comes back as restore_from_tray brings it.
    void handOverFromSecondStart();
    /// The desktop session saves its state: writes the settings file; the program runs on.
    void saveForSession()
    {
        if (!unloaded_)
            SaveConfig();
    }

    // OptionsHost
    void SaveConfig() override;
    void setOpenItemEnabled(bool enabled) override;
    void showMainWindow() override;

signals:
    /// Form_Unload has run; the program may end.
    void unloadedForGood();

protected:
    /// The first showing gives the window its icon, once it is on screen.
    void showEvent(QShowEvent* event) override;
    /// A close request of the window manager unloads the window as Exit does.
    void closeEvent(QCloseEvent* event) override;
    /// A restore from the task bar, where the window went without a tray host, restores it
    /// from the tray.
    void changeEvent(QEvent* event) override;

private:
    /// Puts `window` in the middle of the available area of the screen that holds this one,
    /// where the desktop lets windows be placed.
    void centreOnWidgetScreen(QWidget& window) const;
    /// The options dialogs now open, oldest first.
    QList<frmOptions*> openOptionsDialogs() const;
    /// WindowLeft and WindowTop := the current edges, rounded half to even.
    void recordPosition() { position_->record(); }
    /// Acts on a tray notification code: `restoreCode` restores, 516 opens the menu.
    void trayNotification(int code, int restoreCode);
    /// Moves the window to its recorded place, onto the nearest screen if that lies off every one.
    void applyRecordedPosition(bool topFirst) { position_->apply(topFirst); }
    void trayAvailabilityChanged(bool available);
    /// Tells the desktop to show the window on every workspace, with a task-bar button only
    /// while there is no tray.
    void updateDesktopHints(bool trayAvailable);
    void trayLostWhileHidden();

    // FetchView
    void setTitleCaption(const QString& caption) override { panel_->setTitle(caption); }
    QString barCaption() const override { return panel_->bar(); }
    void setBarCaption(const QString& caption) override { panel_->setBar(caption); }
    void showNetworkError() override { panel_->showNetworkError(); }

    void LoadConfig();
    void buildControls();
    void fillTrayIconRecord();
    QString trayTip() const;

    Module1& module_;
    PlatformServices& platform_;
    std::unique_ptr<WeatherFetch> fetch_;
    QList<QPointer<frmOptions>> optionsDialogs_;
    brisora::TrayIconRecord TrayIconRecord_;
    /// The window's and the tray's icon, drawn at each size only when first asked for.
    QIcon artIcon_ = windowIconFromArt();
    bool iconGiven_ = false;
    bool unloaded_ = false;
    bool startsHidden_ = false;
    /// Hidden to the task bar, for want of a tray host.
    bool minimizedToTaskBar_ = false;

    std::unique_ptr<WindowPosition> position_;
    std::unique_ptr<TitleStrip> strip_;
    std::unique_ptr<WeatherPanel> panel_;
    QLabel* Picture2 = nullptr;
    MainMenu* mnuMain = nullptr;
};

} // namespace brisora
