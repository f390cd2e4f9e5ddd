#pragma once

#include "SearchView.h"
#include "layout/OptionsLayout.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brisora {

class OptionsHost;
class PlaceSearch;
struct Module1;
struct PlatformServices;

/// The options dialog: start options, refresh interval, units and the place (found with the
/// place search). "Okay" stores the choices in Settings, sets or removes the start-at-logon
/// entry, restarts the weather fetch and writes the settings file; "Cancel" and the close box
/// store nothing. However it closes, the main window gets back the visibility it had when the
/// dialog opened (Module1::ShownBeforeOptions). A fresh dialog is made for every opening; it
/// deletes itself when closed. `module`, `host` and `platform` must outlive it, or the owner
/// of the host must cancel() it first.
class frmOptions final : public QWidget, private SearchView
{
    Q_OBJECT
public:
    frmOptions(Module1& module, OptionsHost& host, PlatformServices& platform,
               QWidget* parent = nullptr);
    ~frmOptions() override;

    /// Closes the dialog as "Cancel" does: nothing is stored.
    void cancel();

    /// The dialog's place search (tests drive its ticks by hand).
    PlaceSearch& placeSearch() { return *search_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    QRect toPixels(const optionsLayout::TwipRect& twips) const;
    /// A `Control` made from `arguments` and `container`, named and placed as given.
    template <typename Control, typename... Arguments>
    Control* addControl(const char* objectName, QWidget* container,
                        const optionsLayout::TwipRect& place, Arguments&&... arguments);
    /// A captioned `Control` in `textColour` on the panel colour.
    template <typename Control>
    Control* addOnPanel(const char* objectName, const QString& caption, QWidget* container,
                        const optionsLayout::TwipRect& place, QColor textColour);
    /// A plain-text, word-wrapped label on the panel colour that takes no focus.
    QLabel* addLabel(const char* objectName, const QString& caption, QWidget* container,
                     const optionsLayout::TwipRect& place, QColor textColour);

    void Form_Load();
    void LoadOptions();
    void SaveOptions();
    void cmdOK_Click();
    void Command2_Click();
    /// Runs once, however the dialog closes.
    void Form_Unload();

    // What the place search touches.
    QString searchWords() const override;
    void setStatusText(const QString& text) override;
    void setOkayEnabled(bool enabled) override;
    bool okayEnabled() const override;
    void focusOkay() override;
    void focusWords() override;

    Module1& module_;
    OptionsHost& host_;
    PlatformServices& platform_;
    // The background art at the device pixel ratio it was last painted for.
    QPixmap background_;
    std::unique_ptr<PlaceSearch> search_;
    bool unloaded_ = false;

    // The children the dialog reads or changes after it is built; it owns them.
    QCheckBox* chkOnStart = nullptr;
    QCheckBox* chkOnTray = nullptr;
    QComboBox* cboRefresh = nullptr;
    QLineEdit* txtWord = nullptr;
    QLabel* txtLocation = nullptr;
    QRadioButton* optF = nullptr;
    QRadioButton* optC = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* lblAbout = nullptr;
};

} // namespace brisora
