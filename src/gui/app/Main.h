#pragma once

#include "Artwork.h"
#include "model/Radioinfo.h"
#include "workflow/BuildConfig.h"
#include "workflow/Statusbar.h"

#include <QMainWindow>
#include <map>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace kav {

// The editors and tools reached from the main window; a button and its Edit menu item
// share one entry.
enum class Editor {
    Scan,
    ChannelData,
    Selcall,
    Ctcss,
    Squelch,
    Options,
    Align,
    Advanced,
    Eeprom,
    Development,
};

// The program's main window: a fixed 800 x 624 black panel with the radio and file
// commands, the editor buttons and a four-panel status bar.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    TfrmMain(const BuildConfig& config, bool advancedMode, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 624;

    int advancedMode() const { return advancedMode_; }

    void applyCapabilities(std::uint32_t productId);
    void setStatusPanel(int panel, const QString& text);

signals:
    // Raised by a button or its menu item; the window that serves it opens here later.
    void editorRequested(kav::Editor editor);

private:
    void createButtons(QWidget* panel);
    void createMenus();
    void createStatusBar();
    void createBackdrops(QWidget* panel);
    void applyBuildVisibility();
    void layoutButtons();
    void dispatchEditor(Editor editor);

    QPushButton* button(const char* name) const;
    QAction* action(const char* name) const;
    void setShown(const char* name, bool shown);

    BuildConfig config_;
    int advancedMode_ = 0;
    TradioInfo models_;
    std::map<std::string, QPushButton*> buttons_;
    std::map<std::string, QAction*> actions_;
    std::map<Backdrop, QLabel*> backdrops_;
    std::vector<QLabel*> panels_;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblWebLink_ = nullptr;
    QLabel* lblBlueTooth_ = nullptr;
    QMenu* mnuRecentlyUsedFiles_ = nullptr;
};

} // namespace kav
