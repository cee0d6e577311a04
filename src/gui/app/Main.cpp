#include "app/Main.h"

#include "app/About.h"
#include "app/AutoDetectDialog.h"
#include "app/GuiWorkflowUi.h"
#include "app/Popups.h"
#include "app/PortsDialog.h"
#include "app/Radio_rw.h"
#include "engineering/ByteMonitor.h"
#include "engineering/PacketMonitors.h"
#include "link/PortList.h"
#include "report/Report.h"
#include "service/Firmware.h"
#include "workflow/MemFile.h"
#include "workflow/PortOpening.h"
#include "workflow/RadioWorkflow.h"
#include "workflow/StartUp.h"
#include "workflow/Version.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <algorithm>
#include <array>
#include <optional>

namespace kav {

namespace {

constexpr int kStatusHeight = 22;
constexpr QSize kButtonSize(150, 34);
const QColor kSilver(192, 192, 192);

enum class Command { WriteRadio, WriteFile, ReadRadio, ReadFile, Print, Exit, None };

struct ButtonRow {
    const char* name;
    const char* caption;
    const char* hint;
    std::optional<Editor> editor;
    Command command;
    bool needsPort = false; // the editor talks to the radio: the port is opened first
};

// The radio and file commands first, then the editors in the order they are laid out.
constexpr std::array<ButtonRow, 14> kButtons{{
    {"btnReadRadio", "Read radio", "Reads radio configuration", std::nullopt, Command::ReadRadio},
    {"btnWriteRadio", "Write radio", "Writes current configuration to radio", std::nullopt,
     Command::WriteRadio},
    {"btnReadFile", "Read file", "Reads a mem-file of your choice", std::nullopt,
     Command::ReadFile},
    {"btnWriteFile", "Write file", "Writes current configuration to a file of your choice",
     std::nullopt, Command::WriteFile},
    {"btnScan", "Scan/Duplex", "Setup scan and duplex memories", Editor::Scan, Command::None},
    {"btnChannelData", "Channels", "Configure receive-only channels", Editor::ChannelData,
     Command::None},
    {"btnSelcall", "Selcall", "Configure selcall memories and options", Editor::Selcall,
     Command::None},
    {"btnCTCSS", "CTCSS/DCS", "Configure subtones (CTCSS/DCS)", Editor::Ctcss, Command::None},
    {"btnSquelch", "Squelch", "Configure squelch thresholds", Editor::Squelch, Command::None},
    {"btnOptions", "Options", "Configure other radio options", Editor::Options, Command::None},
    {"btnAlign", "Align", "Perform radio alignment", Editor::Align, Command::None, true},
    {"btnAdvanced", "Advanced", "Configure advanced features", Editor::Advanced, Command::None},
    {"btnEEPROM", "EEPROM", "View/edit EEPROM contents", Editor::Eeprom, Command::None, true},
    {"btnDevelopment", "Development", "Access development tools", Editor::Development,
     Command::None, true},
}};
constexpr std::size_t kFirstEditorButton = 4;

struct MenuRow {
    const char* menu; // object name of the menu, or nullptr for a separator
    const char* name;
    const char* caption;
    std::optional<Editor> editor;
    Command command;
};

constexpr const char* kSeparator = "-";

constexpr std::array<MenuRow, 31> kMenuItems{{
    {"mnuFile", "mnuFileWriteRadio", "Write To Radio", std::nullopt, Command::WriteRadio},
    {"mnuFile", "mnuFileWriteFile", "Write To File", std::nullopt, Command::WriteFile},
    {"mnuFile", kSeparator, "", std::nullopt, Command::None},
    {"mnuFile", "mnuReadRadio", "Read From Radio", std::nullopt, Command::ReadRadio},
    {"mnuFile", "mnuReadFile", "Read From File", std::nullopt, Command::ReadFile},
    {"mnuFile", "mnuRecentlyUsedFiles", "Recently used mem-files", std::nullopt, Command::None},
    {"mnuFile", kSeparator, "", std::nullopt, Command::None},
    {"mnuFile", "mnuPrint", "Print...", std::nullopt, Command::Print},
    {"mnuFile", "mnuFileExit", "Exit", std::nullopt, Command::Exit},
    {"mnuEdit", "mnuEditScan", "Scan / Duplex", Editor::Scan, Command::None},
    {"mnuEdit", "mnuEditChannelData", "Channel Data", Editor::ChannelData, Command::None},
    {"mnuEdit", "mnuEditSelcall", "Selcall", Editor::Selcall, Command::None},
    {"mnuEdit", "mnuEditCTCSS", "CTCSS", Editor::Ctcss, Command::None},
    {"mnuEdit", "mnuEditSquelch", "Squelch", Editor::Squelch, Command::None},
    {"mnuEdit", "mnuEditOptions", "Options", Editor::Options, Command::None},
    {"mnuEdit", "mnuEditAlign", "Align", Editor::Align, Command::None},
    {"mnuEdit", "mnuEditEngineering", "Advanced", Editor::Advanced, Command::None},
    {"mnuEdit", kSeparator, "", std::nullopt, Command::None},
    {"mnuEdit", "mnuEditEeprom", "EEPROM", Editor::Eeprom, Command::None},
    {"mnuEdit", "mnuEditDevelopment", "Development", Editor::Development, Command::None},
    {"mnuComms", "mnCommPort", "Comm Port ...", std::nullopt, Command::None},
    {"mnuComms", "mnAutoDetect", "Auto Detect...", std::nullopt, Command::None},
    {"mnuComms", "mnuSetDefaultFilename", "Set Default Filename...", std::nullopt, Command::None},
    {"mnuComms", "mnuRemoveDefaultFilename", "Remove Default Filename", std::nullopt,
     Command::None},
    {"mnuComms", kSeparator, "", std::nullopt, Command::None},
    {"mnuComms", "mnuByteMonitor", "Byte Monitor", std::nullopt, Command::None},
    {"mnuComms", "mnuKAVIPacketMonitor", "KAV I Packet Monitor", std::nullopt, Command::None},
    {"mnuComms", "mnuKAVIIPacketMonitor", "KAV II Packet Monitor", std::nullopt, Command::None},
    {"mnuComms", kSeparator, "", std::nullopt, Command::None},
    {"mnuComms", "mnuSetupEngArrayRdWr", "Read/Write using arrays", std::nullopt, Command::None},
    {"mnuHelp", "mnuFirmware", "Firmware Version", std::nullopt, Command::None},
}};

struct MenuTitle {
    const char* name;
    const char* caption;
};
constexpr std::array<MenuTitle, 4> kMenus{
    {{"mnuFile", "&File"}, {"mnuEdit", "&Edit"}, {"mnuComms", "&Setup"}, {"mnuHelp", "&Help"}}};

// Hidden at creation; the engineering build and advanced mode bring some back.
constexpr std::array<const char*, 11> kHiddenAtStart{"btnEEPROM",
                                                     "btnAdvanced",
                                                     "btnDevelopment",
                                                     "mnuEditEeprom",
                                                     "mnuEditEngineering",
                                                     "mnuEditDevelopment",
                                                     "mnuByteMonitor",
                                                     "mnuKAVIPacketMonitor",
                                                     "mnuKAVIIPacketMonitor",
                                                     "mnuSetupEngArrayRdWr",
                                                     "mnuRecentlyUsedFiles"};

constexpr std::array<const char*, 9> kEngineeringShown{
    "btnEEPROM",           "btnDevelopment",       "mnuEditChannelData",    "mnuEditEeprom",
    "mnuByteMonitor",      "mnuKAVIPacketMonitor", "mnuKAVIIPacketMonitor", "mnuEditDevelopment",
    "mnuSetupEngArrayRdWr"};

// Enabled by every capability refresh, whatever the model.
constexpr std::array<const char*, 14> kAlwaysEnabled{
    "btnScan",        "mnuEditScan",  "btnCTCSS",       "mnuEditCTCSS",      "btnSquelch",
    "mnuEditSquelch", "btnOptions",   "mnuEditOptions", "btnWriteRadio",     "mnuFileWriteRadio",
    "btnAlign",       "mnuEditAlign", "btnAdvanced",    "mnuEditEngineering"};

struct BackdropRow {
    std::uint32_t mask;
    Backdrop backdrop;
    bool bluetooth;
};
constexpr std::array<BackdropRow, 9> kBackdropByMask{{
    {1, Backdrop::QM1700, false},
    {2, Backdrop::QM210022002400, false},
    {4, Backdrop::QM3100, false},
    {8, Backdrop::QM5100, false},
    {16, Backdrop::Vanilla, false},
    {32, Backdrop::QM1300, false},
    {64, Backdrop::QM1700, true},
    {128, Backdrop::QM1500, false},
    {256, Backdrop::QM3100, true},
}};

struct BackdropName {
    Backdrop backdrop;
    const char* name;
};
constexpr std::array<BackdropName, 7> kBackdropNames{{
    {Backdrop::Vanilla, "imgBackgroundVanilla"},
    {Backdrop::QM210022002400, "imgBackgroundQM210022002400"},
    {Backdrop::QM1700, "imgBackgroundQM1700"},
    {Backdrop::QM3100, "imgBackgroundQM3100"},
    {Backdrop::QM5100, "imgBackgroundQM5100"},
    {Backdrop::QM1300, "imgBackgroundQM1300"},
    {Backdrop::QM1500, "imgBackgroundQM1500"},
}};

constexpr const char* kWebAddress = "www.kavradio.example";

// Said in the status bar when a command waits for a transfer running in the background.
constexpr const char* kBusyText = "The radio transfer is still running: try again when it ends.";
constexpr int kBusyTextMs = 5000;

QString buttonStyle() {
    return "QPushButton { color: #c0c0c0; background: rgba(20, 22, 26, 200);"
           " border: 1px solid #5a5e66; border-radius: 4px; }"
           "QPushButton:hover { color: #ffffff; border-color: #d69628; }"
           "QPushButton:pressed { background: rgba(214, 150, 40, 90); }"
           "QPushButton:disabled { color: #5c5c5c; border-color: #303236; }";
}

QLabel* heading(QWidget* parent, const QString& text, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setFont(QFont("Arial", 9, QFont::Bold));
    label->setStyleSheet("color: #8a8a8a;");
    label->adjustSize();
    label->move(at);
    return label;
}

} // namespace

TfrmMain::TfrmMain(AppContext& context, SettingsStore settings, QWidget* parent)
    : QMainWindow(parent), ctx_(context), settings_(std::move(settings)),
      lineState_(this, [this](std::uint32_t, std::intptr_t, std::intptr_t) {
          updatePortPanels(); // the lead was unplugged, or works again
      }) {
    setObjectName("frmMain");
    setWindowTitle(QString::fromStdString(mainWindowCaption(ctx_.config())));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* panel = new QWidget(this);
    panel->setObjectName("pnlMain");
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, kSilver);
    panel->setPalette(palette);
    setCentralWidget(panel);

    createBackdrops(panel);
    createButtons(panel);
    createMenus();
    createStatusBar();
    applyBuildVisibility();

    ctx_.applySettings(settings_.load(ctx_.config().buildModelMask));
    ctx_.setCurrentBaudRate(AppContext::kDefaultBaudRate);
    recent_ = settings_.loadRecent();
    createRecentItems();

    frmReadWrite_ = std::make_unique<TfrmReadWrite>(this);
    aboutBox_ = std::make_unique<TAboutBox>(ctx_.config(), ctx_.advancedMode(), this);
    ui_ = std::make_unique<GuiWorkflowUi>(*this, *frmReadWrite_);
    connectCommands();
    ctx_.port().SetStateSink(&lineState_);
    applyCapabilities(ctx_.config().buildProductId);
    layoutButtons();
    updateStatusBar();

    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

TfrmMain::~TfrmMain() {
    // A worker still running hands its end steps to this window's dialog: let it finish
    // first, then keep the recent-file list.
    ctx_.waitForTransfer();
    ctx_.port().SetStateSink(nullptr);
    settings_.saveRecent(recent_);
}

void TfrmMain::startUp() {
    kav::startUp(ctx_, *ui_);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // A transfer still running stops after its current block; its end steps (Status byte,
    // reset) still run before the window goes.
    if (ctx_.transferRunning()) {
        ctx_.cancelEvent().set();
    }
    settings_.save(ctx_.settings());
    QMainWindow::closeEvent(event);
}

void TfrmMain::createBackdrops(QWidget* panel) {
    const QSize size(kClientWidth, kClientHeight - kStatusHeight);
    for (const auto& [backdrop, name] : kBackdropNames) {
        auto* image = new QLabel(panel);
        image->setObjectName(name);
        image->setGeometry(QRect(QPoint(0, 0), size));
        image->setPixmap(paintBackdrop(backdrop, size));
        image->setVisible(backdrop == Backdrop::Vanilla);
        backdrops_[backdrop] = image;
    }
    heading(panel, "RADIO & FILES", {48, 318});
    heading(panel, "CONFIGURE & SERVICE", {268, 318});

    lblBlueTooth_ = new QLabel("BT", panel);
    lblBlueTooth_->setObjectName("lblBlueTooth");
    lblBlueTooth_->setFont(QFont("Arial", 12, QFont::Bold));
    lblBlueTooth_->setStyleSheet("color: #4aa3ff;");
    lblBlueTooth_->adjustSize();
    lblBlueTooth_->move((kClientWidth - lblBlueTooth_->width()) / 2, 252); // under the radio
    lblBlueTooth_->hide();

    lblVersion_ = new QLabel(QString::fromStdString(versionLabelText(ctx_.config())), panel);
    lblVersion_->setObjectName("lblVersion");
    lblVersion_->setFont(QFont("Arial", 10, QFont::Bold));
    lblVersion_->setStyleSheet("color: #c0c0c0;");
    lblVersion_->adjustSize();
    lblVersion_->move(kClientWidth - lblVersion_->width() - 24, 566);

    lblWebLink_ = new QLabel(panel);
    lblWebLink_->setObjectName("lblWebLink");
    lblWebLink_->setText(
        QString("<a href=\"http://%1\" style=\"color:#c0c0c0;\">%1</a>").arg(kWebAddress));
    lblWebLink_->setFont(QFont("Arial", 10, QFont::Bold));
    lblWebLink_->setOpenExternalLinks(true);
    lblWebLink_->setCursor(Qt::PointingHandCursor);
    lblWebLink_->adjustSize();
    lblWebLink_->move(24, 566);
}

void TfrmMain::createButtons(QWidget* panel) {
    QFont font("Arial", 10, QFont::Bold);
    for (const ButtonRow& row : kButtons) {
        auto* b = new QPushButton(row.caption, panel);
        b->setObjectName(row.name);
        b->setToolTip(row.hint);
        b->setFlat(true);
        b->setFont(font);
        b->setCursor(Qt::PointingHandCursor);
        b->setFixedSize(kButtonSize);
        b->setStyleSheet(buttonStyle());
        if (row.editor) {
            const Editor editor = *row.editor;
            connect(b, &QPushButton::clicked, this, [this, editor] { dispatchEditor(editor); });
        }
        buttons_[row.name] = b;
    }
}

void TfrmMain::createMenus() {
    menuBar()->setObjectName("MainMenu");
    std::map<std::string, QMenu*> menus;
    for (const MenuTitle& m : kMenus) {
        QMenu* menu = menuBar()->addMenu(m.caption);
        menu->setObjectName(m.name);
        menus[m.name] = menu;
    }
    for (const MenuRow& row : kMenuItems) {
        QMenu* menu = menus[row.menu];
        if (std::string_view(row.name) == kSeparator) {
            menu->addSeparator();
            continue;
        }
        if (std::string_view(row.name) == "mnuRecentlyUsedFiles") {
            mnuRecentlyUsedFiles_ = menu->addMenu(row.caption);
            mnuRecentlyUsedFiles_->setObjectName(row.name);
            actions_[row.name] = mnuRecentlyUsedFiles_->menuAction();
            actions_[row.name]->setObjectName(row.name);
            continue;
        }
        QAction* a = menu->addAction(row.caption);
        a->setObjectName(row.name);
        if (row.editor) {
            const Editor editor = *row.editor;
            connect(a, &QAction::triggered, this, [this, editor] { dispatchEditor(editor); });
        }
        if (row.command == Command::Exit) {
            connect(a, &QAction::triggered, this, &QWidget::close);
        }
        actions_[row.name] = a;
    }
    action("mnuSetupEngArrayRdWr")->setCheckable(true);
    QAction* about = menus["mnuHelp"]->addAction("About...");
    about->setObjectName("About");
    actions_["About"] = about;
}

void TfrmMain::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusHeight);
    bar->setStyleSheet("QStatusBar { background: #d4d0c8; color: black; }"
                       "QStatusBar::item { border: 1px solid #a0a0a0; }"
                       "QLabel { color: black; padding: 0 4px; }");
    const std::array<int, 4> widths{70, 70, 160, 0};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString("StatusPanel%1").arg(i));
        label->setFont(QFont("Arial", 9));
        if (widths[i] > 0) {
            label->setFixedWidth(widths[i]);
            bar->addWidget(label);
        } else {
            bar->addWidget(label, 1);
        }
        panels_.push_back(label);
    }
}

void TfrmMain::applyBuildVisibility() {
    const BuildConfig& config = ctx_.config();
    for (const char* name : kHiddenAtStart) {
        setShown(name, false);
    }
    if (config.engineeringBuild == 1) {
        for (const char* name : kEngineeringShown) {
            setShown(name, true);
        }
        action("mnuSetupEngArrayRdWr")->setChecked(ctx_.arrayReadWriteChecked());
    }
    if (ctx_.advancedMode() == 1) {
        setShown("btnAdvanced", true);
        setShown("mnuEditEngineering", true);
    }
    if (config.acceptsAnyModel()) {
        return;
    }
    backdrops_[Backdrop::Vanilla]->hide();
    for (const BackdropRow& row : kBackdropByMask) {
        if (row.mask == config.buildModelMask) {
            backdrops_[row.backdrop]->show();
            lblBlueTooth_->setVisible(row.bluetooth);
        }
    }
}

void TfrmMain::applyCapabilities(std::uint32_t productId) {
    if (ctx_.config().acceptsAnyModel()) {
        return;
    }
    for (const char* name : kAlwaysEnabled) {
        setEnabledControl(name, true);
    }
    const bool selcall = ctx_.models().hasSelcall(productId);
    const bool rxOnly = ctx_.models().hasRxOnlyChannels(productId);
    for (const char* name : {"btnSelcall", "mnuEditSelcall"}) {
        setShown(name, selcall);
        setEnabledControl(name, selcall);
    }
    for (const char* name : {"btnChannelData", "mnuEditChannelData"}) {
        setShown(name, rxOnly);
        setEnabledControl(name, rxOnly);
    }
    layoutButtons();
}

void TfrmMain::layoutButtons() {
    // Radio and file commands in one column; visible editors fill a three-column grid, so
    // a model without some editors shows no gaps.
    constexpr int kRowStep = 44;
    constexpr int kTop = 338;
    for (std::size_t i = 0; i < kFirstEditorButton; ++i) {
        button(kButtons[i].name)->move(48, kTop + static_cast<int>(i) * kRowStep);
    }
    int slot = 0;
    for (std::size_t i = kFirstEditorButton; i < kButtons.size(); ++i) {
        QPushButton* b = button(kButtons[i].name);
        if (b->isHidden()) {
            continue;
        }
        b->move(268 + (slot % 3) * 166, kTop + (slot / 3) * kRowStep);
        ++slot;
    }
}

void TfrmMain::setPanel(int panel, const std::string& text) {
    panels_[static_cast<std::size_t>(panel)]->setText(QString::fromStdString(text));
}

QString TfrmMain::statusPanel(int panel) const {
    return panel >= 0 && panel < static_cast<int>(panels_.size())
               ? panels_[static_cast<std::size_t>(panel)]->text()
               : QString();
}

void TfrmMain::updatePortPanels() {
    setPanel(0, portPanelText(ctx_.comPort()));
    setPanel(1, openPanelText(ctx_.port().IsOpen(), ctx_.port().lineLost()));
}

void TfrmMain::updateRadioPanel() {
    std::string version;
    const bool known = ctx_.radio().GetVersionText(version);
    std::string type;
    ctx_.radio().GetRadioTypeText(type);
    setPanel(2, radioPanelText(known, type, version, !demoFolder_.isEmpty()));
}

void TfrmMain::clearRadioPanel() {
    setPanel(2, radioPanelText(false, "", "", !demoFolder_.isEmpty()));
}

void TfrmMain::setDemo(const QString& demoFolder) {
    demoFolder_ = demoFolder;
    setWindowTitle(QString::fromStdString(mainWindowCaption(ctx_.config())).trimmed() +
                   " - demo (virtual radio)");
    updateRadioPanel();
}

namespace {

// Where a file dialog of the demo starts instead of `initial` when that lies in the demo's
// folder: the user's documents (or the current folder), with the same file name.
QString outsideFolder(const QString& initial, const QString& folder) {
    const QString inFolder = QDir(folder).absolutePath() + "/";
    if (!initial.isEmpty() && !QFileInfo(initial).absoluteFilePath().startsWith(inFolder)) {
        return initial;
    }
    QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (start.isEmpty() || !QDir(start).exists()) {
        start = QDir::currentPath();
    }
    return initial.isEmpty() ? start : QDir(start).filePath(QFileInfo(initial).fileName());
}

} // namespace

void TfrmMain::updateDataPanel() {
    setPanel(3, dataPanelText(ctx_.dataSource(), ctx_.currentFileName()));
}

void TfrmMain::updateStatusBar() {
    updatePortPanels();
    updateRadioPanel();
    updateDataPanel();
}

void TfrmMain::createRecentItems() {
    for (const std::string& entry : recent_) {
        mnuRecentlyUsedFiles_->addAction(QString::fromStdString(entry));
    }
}

void TfrmMain::connectCommands() {
    const std::pair<const char*, void (TfrmMain::*)()> commands[] = {
        {"btnReadRadio", &TfrmMain::btnReadRadioClick},
        {"mnuReadRadio", &TfrmMain::btnReadRadioClick},
        {"btnWriteRadio", &TfrmMain::btnWriteRadioClick},
        {"mnuFileWriteRadio", &TfrmMain::btnWriteRadioClick},
        {"btnReadFile", &TfrmMain::btnReadFileClick},
        {"mnuReadFile", &TfrmMain::btnReadFileClick},
        {"btnWriteFile", &TfrmMain::btnWriteFileClick},
        {"mnuFileWriteFile", &TfrmMain::btnWriteFileClick},
        {"mnuSetDefaultFilename", &TfrmMain::mnuSetDefaultFilenameClick},
        {"mnuRemoveDefaultFilename", &TfrmMain::mnuRemoveDefaultFilenameClick},
        {"About", &TfrmMain::AboutClick},
        {"mnuPrint", &TfrmMain::mnuPrintClick},
        {"mnCommPort", &TfrmMain::mnCommPortClick},
        {"mnAutoDetect", &TfrmMain::mnAutoDetectClick},
        {"mnuFirmware", &TfrmMain::mnuFirmwareClick},
    };
    for (const auto& [name, command] : commands) {
        auto go = [this, handler = command] {
            run(handler);
        };
        if (QPushButton* b = findButton(name)) {
            connect(b, &QPushButton::clicked, this, go);
        } else {
            connect(action(name), &QAction::triggered, this, go);
        }
    }
    // The monitors only watch: they open whatever runs.
    connect(action("mnuByteMonitor"), &QAction::triggered, this, &TfrmMain::mnuByteMonitorClick);
    connect(action("mnuKAVIPacketMonitor"), &QAction::triggered, this,
            &TfrmMain::mnuKAVIPacketMonitorClick);
    connect(action("mnuKAVIIPacketMonitor"), &QAction::triggered, this,
            &TfrmMain::mnuKAVIIPacketMonitorClick);
    connect(action("mnuSetupEngArrayRdWr"), &QAction::toggled, this,
            [this](bool checked) { ctx_.setArrayReadWriteChecked(checked); });
}

// Every command uses the radio or the image, which a transfer worker still owns until it
// has ended, also after its progress dialog was closed with the close box.
void TfrmMain::run(void (TfrmMain::*command)()) {
    if (refusedWhileTransferRuns()) {
        return;
    }
    (this->*command)();
}

void TfrmMain::showCause(const QString& why) {
    constexpr int kCauseMs = 15000;
    statusBar()->showMessage("Cause: " + why, kCauseMs);
}

bool TfrmMain::refusedWhileTransferRuns() {
    if (!ctx_.transferRunning()) {
        return false;
    }
    QApplication::beep();
    statusBar()->showMessage(kBusyText, kBusyTextMs);
    return true;
}

void TfrmMain::btnReadRadioClick() {
    readRadio(ctx_, *ui_);
}

void TfrmMain::btnWriteRadioClick() {
    writeRadio(ctx_, *ui_);
}

QString TfrmMain::chooseFile(bool save, const QString& title, const QString& filter,
                             const QString& initial) {
    const QString start = demoFolder_.isEmpty() ? initial : outsideFolder(initial, demoFolder_);
    return popups::chooseFile(this, {save, title, filter, start});
}

void TfrmMain::btnReadFileClick() {
    const QString path = chooseFile(false, openDialogTitle_, openDialogFilter_,
                                    QString::fromStdString(ctx_.currentFileName()));
    readFile(ctx_, *ui_,
             path.isEmpty() ? std::nullopt : std::optional<std::string>(path.toStdString()));
}

void TfrmMain::btnWriteFileClick() {
    const QString path = chooseFile(true, QString(), "Mem files (*.mem)",
                                    QString::fromStdString(ctx_.currentFileName()));
    if (!path.isEmpty()) {
        writeFile(ctx_, *ui_, path.toStdString());
    }
}

void TfrmMain::mnuSetDefaultFilenameClick() {
    // These settings stay on the open dialog for later "Read file" uses.
    openDialogTitle_ = "Set Default Filename.";
    openDialogFilter_ = "Programming Files (*.mem);;All Files (*.*)";
    const QString path = chooseFile(false, openDialogTitle_, openDialogFilter_,
                                    QString::fromStdString(ctx_.defaultFileName()));
    if (!path.isEmpty()) {
        setDefaultFilename(ctx_, *ui_, path.toStdString());
    }
}

void TfrmMain::mnuRemoveDefaultFilenameClick() {
    removeDefaultFilename(ctx_);
}

void TfrmMain::AboutClick() {
    aboutBox_->prepareModelsInfo();
    aboutBox_->exec();
}

void TfrmMain::mnuPrintClick() {
    if (!frmReport_) {
        frmReport_ = std::make_unique<TfrmReport>(ctx_, this);
    }
    frmReport_->exec();
}

void TfrmMain::mnCommPortClick() {
    if (!frmPorts_) {
        frmPorts_ = std::make_unique<TfrmPorts>(ctx_.ports(), ctx_.models(), ctx_.config(), this);
    }
    frmPorts_->setSelectedPort(ctx_.comPort());
    frmPorts_->setSelectedBaudRate(ctx_.maxBaudRate());
    if (frmPorts_->exec() != QDialog::Accepted) {
        return;
    }
    if (const int chosen = frmPorts_->selectedPort(); chosen != ctx_.comPort()) {
        ctx_.setComPort(chosen);
        if (ctx_.port().ChangePort(chosen) != 1) {
            showCause(QString::fromStdString(openFailureReason(
                comPortDevice(chosen, ctx_.ports().portsDir), ctx_.port().lastOpenErrno())));
        }
        updatePortPanels();
    }
    ctx_.setMaxBaudRate(frmPorts_->selectedBaudRate());
}

void TfrmMain::mnAutoDetectClick() {
    if (!frmAutoDetect_) {
        frmAutoDetect_ = std::make_unique<TfrmAutoDetect>(ctx_, this);
    }
    frmAutoDetect_->exec();
    if (const int found = frmAutoDetect_->GetDetectedPort(); found != 0) {
        ctx_.setComPort(found);
    } else if (!ctx_.port().IsOpen() && ctx_.port().lastOpenErrno() != 0) {
        showCause(QString::fromStdString(openFailureReason(
            comPortDevice(ctx_.comPort(), ctx_.ports().portsDir), ctx_.port().lastOpenErrno())));
    }
    // The scan moved the port: it is on the radio found, or back on the configured one.
    updatePortPanels();
}

void TfrmMain::mnuFirmwareClick() {
    if (!ensurePortOpen(ctx_, *ui_)) {
        return;
    }
    if (!frmFirmware_) {
        frmFirmware_ = std::make_unique<TfrmFirmware>(ctx_, this);
    }
    frmFirmware_->exec();
}

namespace {

// Shows a modeless window over its owner, making it on first use.
template <typename Window, typename Make>
void showModeless(std::unique_ptr<Window>& window, Make make) {
    if (!window) {
        window = make();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void TfrmMain::mnuByteMonitorClick() {
    showModeless(byteMonitorForm_,
                 [this] { return std::make_unique<TbyteMonitorForm>(ctx_.port(), this); });
}

void TfrmMain::mnuKAVIPacketMonitorClick() {
    showModeless(kavIPacketMonitorForm_, [this] {
        return std::make_unique<TkavIPacketMonitorForm>(ctx_.radio().kavI(), this);
    });
}

void TfrmMain::mnuKAVIIPacketMonitorClick() {
    showModeless(kavIIPacketMonitorForm_, [this] {
        return std::make_unique<TkavIIPacketMonitorForm>(ctx_.radio().kavII(), this);
    });
}

void TfrmMain::dispatchEditor(Editor editor) {
    if (refusedWhileTransferRuns()) {
        return;
    }
    emit editorRequested(editor);
    openEditor(editor);
}

// The tools that talk to the radio open the port first; they still open when it fails.
void TfrmMain::openEditor(Editor editor) {
    const auto row = std::find_if(kButtons.begin(), kButtons.end(),
                                  [editor](const ButtonRow& r) { return r.editor == editor; });
    if (row->needsPort) {
        ensurePortOpen(ctx_, *ui_);
    }
    auto& window = editors_[editor];
    if (!window) {
        const auto& factories = editorFactories();
        const auto factory = factories.find(editor);
        if (factory == factories.end()) {
            editors_.erase(editor);
            popups::inform(this, "Not available in this version yet", row->caption);
            return;
        }
        window = factory->second(ctx_, this);
    }
    window->exec();
}

QDialog* TfrmMain::editorWindow(Editor editor) const {
    const auto it = editors_.find(editor);
    return it == editors_.end() ? nullptr : it->second.get();
}

QPushButton* TfrmMain::findButton(const char* name) const {
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

QAction* TfrmMain::findAction(const char* name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

// The tables above name every control; a name they lack is a typo that must not pass quietly.
[[noreturn]] void TfrmMain::unknownControl(const char* name) const {
    qFatal("TfrmMain: no control named %s", name);
}

QPushButton* TfrmMain::button(const char* name) const {
    QPushButton* b = findButton(name);
    if (b == nullptr) {
        unknownControl(name);
    }
    return b;
}

QAction* TfrmMain::action(const char* name) const {
    QAction* a = findAction(name);
    if (a == nullptr) {
        unknownControl(name);
    }
    return a;
}

void TfrmMain::setShown(const char* name, bool shown) {
    if (QPushButton* b = findButton(name)) {
        b->setVisible(shown);
    } else {
        action(name)->setVisible(shown);
    }
}

void TfrmMain::setEnabledControl(const char* name, bool enabled) {
    if (QPushButton* b = findButton(name)) {
        b->setEnabled(enabled);
    } else {
        action(name)->setEnabled(enabled);
    }
}

} // namespace kav
