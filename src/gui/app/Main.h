#pragma once

#include "app/Artwork.h"
#include "app/EditorTable.h"
#include "app/QueuedSink.h"
#include "app/SettingsStore.h"
#include "workflow/AppContext.h"
#include "workflow/StatusBar.h"

#include <QMainWindow>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace kav {

class GuiWorkflowUi;
class TAboutBox;
class TfrmAutoDetect;
class TfrmFirmware;
class TfrmPorts;
class TfrmReadWrite;
class TfrmReport;
class TbyteMonitorForm;
class TkavIPacketMonitorForm;
class TkavIIPacketMonitorForm;

// The program's main window: a fixed 800 x 624 black panel with the radio and file
// commands, the editor buttons and a four-panel status bar. It owns no radio state: that
// lives in the AppContext it is given, which outlives it.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    TfrmMain(AppContext& context, SettingsStore settings, QWidget* parent = nullptr);
    ~TfrmMain() override;

    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 624;

    AppContext& context() { return ctx_; }
    // The demo: the caption and the radio panel say so, and file dialogs never start in the
    // demo's own folder, which goes when the program ends.
    void setDemo(const QString& demoFolder);
    // Loads the default file and refreshes everything, as the program does once at start-up.
    void startUp();

    void applyCapabilities(std::uint32_t productId);
    void updateStatusBar();
    void updatePortPanels();
    void updateRadioPanel();
    void clearRadioPanel();
    void updateDataPanel();
    QString statusPanel(int panel) const;
    // Why the last transfer failed, shown in the status bar for a while.
    void showCause(const QString& why);

    TfrmReadWrite& progressDialog() { return *frmReadWrite_; }

    // The editor's window once it was opened (nullptr before).
    QDialog* editorWindow(Editor editor) const;

signals:
    // Raised by a button or its menu item, just before the window that serves it opens.
    void editorRequested(kav::Editor editor);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createButtons(QWidget* panel);
    void createMenus();
    void createStatusBar();
    void createBackdrops(QWidget* panel);
    void createRecentItems();
    void applyBuildVisibility();
    void layoutButtons();
    void connectCommands();
    void dispatchEditor(Editor editor);
    void openEditor(Editor editor);
    void run(void (TfrmMain::*command)());
    // While a transfer worker runs nothing else may start: says so (beep and status bar).
    bool refusedWhileTransferRuns();

    void btnReadRadioClick();
    void btnWriteRadioClick();
    void btnReadFileClick();
    void btnWriteFileClick();
    void mnuSetDefaultFilenameClick();
    void mnuRemoveDefaultFilenameClick();
    void AboutClick();
    void mnuPrintClick();
    void mnCommPortClick();
    void mnAutoDetectClick();
    void mnuFirmwareClick();
    void mnuByteMonitorClick();
    void mnuKAVIPacketMonitorClick();
    void mnuKAVIIPacketMonitorClick();

    QString chooseFile(bool save, const QString& title, const QString& filter,
                       const QString& initial);
    // Controls by object name; an unknown name stops the program with that name.
    QPushButton* button(const char* name) const;
    QAction* action(const char* name) const;
    void setShown(const char* name, bool shown);            // a button or a menu item
    void setEnabledControl(const char* name, bool enabled); // likewise
    QPushButton* findButton(const char* name) const;
    QAction* findAction(const char* name) const;
    [[noreturn]] void unknownControl(const char* name) const;
    void setPanel(int panel, const std::string& text);

    AppContext& ctx_;
    SettingsStore settings_;
    QueuedSink lineState_; // line lost / back from the serial reader
    RecentFiles recent_;
    std::map<std::string, QPushButton*> buttons_;
    std::map<std::string, QAction*> actions_;
    std::map<Backdrop, QLabel*> backdrops_;
    std::vector<QLabel*> panels_;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblWebLink_ = nullptr;
    QLabel* lblBlueTooth_ = nullptr;
    QMenu* mnuRecentlyUsedFiles_ = nullptr;
    std::unique_ptr<TfrmReadWrite> frmReadWrite_;
    std::unique_ptr<TAboutBox> aboutBox_;
    std::unique_ptr<GuiWorkflowUi> ui_;
    // Created on first use and kept, like the editors.
    std::unique_ptr<TfrmPorts> frmPorts_;
    std::unique_ptr<TfrmAutoDetect> frmAutoDetect_;
    std::unique_ptr<TfrmFirmware> frmFirmware_;
    std::map<Editor, std::unique_ptr<QDialog>> editors_; // created on first use, kept
    std::unique_ptr<TfrmReport> frmReport_;              // likewise
    // The monitors are modeless; each is made on first use and kept.
    std::unique_ptr<TbyteMonitorForm> byteMonitorForm_;
    std::unique_ptr<TkavIPacketMonitorForm> kavIPacketMonitorForm_;
    std::unique_ptr<TkavIIPacketMonitorForm> kavIIPacketMonitorForm_;
    QString openDialogTitle_;
    QString openDialogFilter_ = "Mem files (*.mem)";
    QString demoFolder_; // empty unless this is the demo
};

} // namespace kav
