#include "frmOptions.h"

#include "Fonts.h"
#include "OptionsHost.h"
#include "PlaceSearch.h"
#include "PlatformServices.h"
#include "ScreenMetrics.h"
#include "StartAtLogon.h"
#include "TcpClient.h"
#include "app/Module1.h"
#include "art/Art.h"
#include "widgets/CaptionFrame.h"
#include "widgets/Colours.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <array>
#include <string_view>
#include <utility>

namespace brisora {

namespace {

using namespace colours;

namespace layout = optionsLayout;

const QString kFontFamily = QStringLiteral("MS Sans Serif");
constexpr double kFontPoints = 8.25;
constexpr double kSearchBoxPoints = 9.75;
// Small enough that every line of the about text, credit and notice included, fits the label.
constexpr double kAboutPoints = 7;

struct RefreshEntry
{
    const char* caption;
    int hours;
};
constexpr std::array<RefreshEntry, 4> kRefreshEntries{{
    {"Every Hour", 1},
    {"Every 3 Hrs", 3},
    {"Every 6 Hrs", 6},
    {"Every 12 Hrs", 12},
}};

/// True when no place is set: the name is empty or ">none" once blanks are cut off both ends.
bool isNoPlace(std::string_view name)
{
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return true;
    const std::size_t last = name.find_last_not_of(' ');
    return name.substr(first, last - first + 1) == ">none";
}

/// White text on the panel colour, for the controls that sit in the frames.
void paintOnPanel(QWidget* widget, QColor textColour)
{
    QPalette palette = widget->palette();
    // Buttons fill their background with the Button role, labels with Window.
    palette.setColor(QPalette::Window, kDialogPanel);
    palette.setColor(QPalette::Button, kDialogPanel);
    palette.setColor(QPalette::WindowText, textColour);
    palette.setColor(QPalette::ButtonText, textColour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

frmOptions::frmOptions(Module1& module, OptionsHost& host, PlatformServices& platform,
                       QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      module_(module), host_(host), platform_(platform)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(layoutFont(kFontFamily, kFontPoints));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setFixedSize(toPixels({0, 0, layout::kClientWidth, layout::kClientHeight}).size());

    buildControls();
    search_ =
        std::make_unique<PlaceSearch>(platform_.newSocket(), parseServiceHost(platform_.searchHost),
                                      static_cast<SearchView&>(*this));
    Form_Load();
    txtWord->setFocus();
}

frmOptions::~frmOptions() = default;

QRect frmOptions::toPixels(const optionsLayout::TwipRect& twips) const
{
    const double perPixelX = platform_.screen.twipsPerPixelX();
    const double perPixelY = platform_.screen.twipsPerPixelY();
    return QRect(qRound(twips.left / perPixelX), qRound(twips.top / perPixelY),
                 qRound(twips.width / perPixelX), qRound(twips.height / perPixelY));
}

template <typename Control, typename... Arguments>
Control* frmOptions::addControl(const char* objectName, QWidget* container,
                                const optionsLayout::TwipRect& place, Arguments&&... arguments)
{
    auto* control = new Control(std::forward<Arguments>(arguments)..., container);
    control->setObjectName(QLatin1String(objectName));
    control->setGeometry(toPixels(place));
    return control;
}

template <typename Control>
Control* frmOptions::addOnPanel(const char* objectName, const QString& caption, QWidget* container,
                                const optionsLayout::TwipRect& place, QColor textColour)
{
    auto* control = addControl<Control>(objectName, container, place, caption);
    paintOnPanel(control, textColour);
    return control;
}

QLabel* frmOptions::addLabel(const char* objectName, const QString& caption, QWidget* container,
                             const optionsLayout::TwipRect& place, QColor textColour)
{
    auto* label = addOnPanel<QLabel>(objectName, caption, container, place, textColour);
    // Names come from a reply: they must never be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void frmOptions::buildControls()
{
    auto* Frame3 =
        addControl<CaptionFrame>("Frame3", this, layout::Frame3, QString(), kDialogPanel, kSilver);
    chkOnStart = addOnPanel<QCheckBox>("chkOnStart", QStringLiteral("Start on Windows"), Frame3,
                                       layout::chkOnStart, kWhite);
    chkOnTray = addOnPanel<QCheckBox>("chkOnTray", QStringLiteral("Start minimized in System Tray"),
                                      Frame3, layout::chkOnTray, kWhite);
    addLabel("Label5", QStringLiteral("Refresh"), Frame3, layout::Label5, kWhite);
    cboRefresh = addControl<QComboBox>("cboRefresh", Frame3, layout::cboRefresh);
    cboRefresh->setEditable(false);

    auto* Frame1 =
        addControl<CaptionFrame>("Frame1", this, layout::Frame1,
                                 QStringLiteral("Select your location"), kDialogPanel, kSilver);
    addLabel("Label1", QStringLiteral("Enter your city or  zip / pin  or landmark..."), Frame1,
             layout::Label1, kWhite);
    txtWord = addControl<QLineEdit>("txtWord", Frame1, layout::txtWord);
    txtWord->setFont(layoutFont(kFontFamily, kSearchBoxPoints));
    connect(txtWord, &QLineEdit::returnPressed, this, [this] { search_->FindLocation(); });
    auto* Command1 =
        addControl<QPushButton>("Command1", Frame1, layout::Command1, QStringLiteral("Find"));
    connect(Command1, &QPushButton::clicked, this, [this] { search_->FindLocation(); });
    addLabel("Label3", QStringLiteral("Your current location is :"), Frame1, layout::Label3,
             kWhite);
    txtLocation = addLabel("txtLocation", QString(), Frame1, layout::txtLocation, kPlaceCyan);

    auto* Frame2 = addControl<CaptionFrame>("Frame2", this, layout::Frame2, QStringLiteral("Units"),
                                            kDialogPanel, kSilver);
    optF = addOnPanel<QRadioButton>("optF", QStringLiteral("Fahrenheit, Mph"), Frame2, layout::optF,
                                    kWhite);
    optF->setChecked(true);
    optC = addOnPanel<QRadioButton>("optC", QStringLiteral("Celsius, Kmph"), Frame2, layout::optC,
                                    kWhite);

    auto* Command2 =
        addControl<QPushButton>("Command2", this, layout::Command2, QStringLiteral("Cancel"));
    connect(Command2, &QPushButton::clicked, this, &frmOptions::Command2_Click);
    cmdOK = addControl<QPushButton>("cmdOK", this, layout::cmdOK, QStringLiteral("Okay"));
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);

    // Enter presses whichever button has the focus; none is the default, and outside a
    // QDialog Escape does nothing.
    for (QPushButton* button : {Command1, Command2, cmdOK})
        button->setAutoDefault(true);

    lblAbout =
        addControl<QLabel>("lblAbout", this, layout::lblAbout, QStringLiteral(" Brisora 1.0"));
    lblAbout->setTextFormat(Qt::PlainText);
    lblAbout->setFont(layoutFont(kFontFamily, kAboutPoints));
    lblAbout->setWordWrap(true);
    lblAbout->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblAbout->setFocusPolicy(Qt::NoFocus);
    QPalette aboutPalette = lblAbout->palette();
    aboutPalette.setColor(QPalette::WindowText, kWhite);
    lblAbout->setPalette(aboutPalette);

    // Keyboard order: the place first, then units, the buttons, and the start options.
    const std::array<QWidget*, 9> tabOrder{txtWord, Command1,   optF,      optC,      Command2,
                                           cmdOK,   chkOnStart, chkOnTray, cboRefresh};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void frmOptions::Form_Load()
{
    const QStringList about{
        QStringLiteral("Brisora ") + QString::fromStdString(module_.AppVersion),
        QStringLiteral("______________"),
        QString(),
        QStringLiteral("Enter your location like..."),
        QStringLiteral("Tokyo, 60610, Eiffel Tower ..."),
        QStringLiteral("Hit Find (or ENTER key) and Okay (or press ENTER key again !! "),
        QStringLiteral("Hover on system tray to quick look temp."),
        QString(),
        QStringLiteral("Weather data by Open-Meteo.com"),
        QStringLiteral("Places: GeoNames, OpenStreetMap"),
        QStringLiteral("Free to use and to share,"),
        QStringLiteral("without warranty of any kind."),
    };
    lblAbout->setText(about.join(QStringLiteral("\r\n")));
    LoadOptions();
}

void frmOptions::LoadOptions()
{
    const Settings& settings = module_.Settings;
    search_->loadPending(settings.LocationWoeid, settings.LocationName);
    chkOnStart->setChecked(settings.StartWithWindows != 0);
    chkOnTray->setChecked(settings.StartInTray != 0);
    for (const RefreshEntry& entry : kRefreshEntries)
        cboRefresh->addItem(QString::fromLatin1(entry.caption));
    cboRefresh->setCurrentIndex(-1);
    for (std::size_t i = 0; i < kRefreshEntries.size(); ++i)
        if (kRefreshEntries[i].hours == settings.RefreshHours)
            cboRefresh->setCurrentIndex(static_cast<int>(i));
    txtLocation->setText(QString::fromStdString(settings.LocationName));
    if (settings.UseCelsius != 0)
        optC->setChecked(true);
    else
        optF->setChecked(true);
    cmdOK->setEnabled(!isNoPlace(settings.LocationName));
}

void frmOptions::SaveOptions()
{
    Settings& settings = module_.Settings;
    // Rewritten or removed on every "Okay", so an entry deleted or moved meanwhile is mended.
    if (chkOnStart->isChecked()) {
        settings.StartWithWindows = 1;
        platform_.startAtLogon.SetEntry(platform_.executablePath);
    } else {
        settings.StartWithWindows = 0;
        platform_.startAtLogon.DeleteEntry();
    }
    settings.StartInTray = chkOnTray->isChecked() ? 1 : 0;
    const int index = cboRefresh->currentIndex();
    if (index >= 0 && index < static_cast<int>(kRefreshEntries.size()))
        settings.RefreshHours = static_cast<std::int16_t>(kRefreshEntries[index].hours);
    settings.UseCelsius = optC->isChecked() ? 1 : 0;
    settings.LocationName = search_->pendingName();
    settings.LocationWoeid = search_->pendingWoeid();
}

void frmOptions::cmdOK_Click()
{
    SaveOptions();
    host_.RefreshOptions();
    // Kept on disk at once, beside the start-at-logon entry that has just changed, so a
    // widget that is killed or loses power keeps what was confirmed. Only after the refresh:
    // the write takes the place and units from the fetch, which now holds the new ones.
    host_.SaveConfig();
    close();
}

void frmOptions::Command2_Click()
{
    close();
}

void frmOptions::cancel()
{
    Command2_Click();
}

void frmOptions::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmOptions::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    search_->closeSocket();
    if (module_.ShownBeforeOptions == kTrue) {
        module_.WindowShown = kTrue;
        host_.setOpenItemEnabled(false);
        host_.showMainWindow();
    } else {
        host_.setOpenItemEnabled(true);
    }
}

void frmOptions::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const double ratio = devicePixelRatioF();
    if (background_.isNull() || background_.devicePixelRatio() != ratio)
        background_ =
            drawArt(QStringLiteral("options-background"),
                    QSize(layout::kBackgroundWidth, layout::kBackgroundHeight) * ratio, ratio);
    painter.drawPixmap(0, 0, background_);
}

QString frmOptions::searchWords() const
{
    return txtWord->text();
}

void frmOptions::setStatusText(const QString& text)
{
    txtLocation->setText(text);
}

void frmOptions::setOkayEnabled(bool enabled)
{
    cmdOK->setEnabled(enabled);
}

bool frmOptions::okayEnabled() const
{
    return cmdOK->isEnabled();
}

void frmOptions::focusOkay()
{
    cmdOK->setFocus();
}

void frmOptions::focusWords()
{
    txtWord->setFocus();
}

} // namespace brisora
