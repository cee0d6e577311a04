#pragma once

#include "engineering/MonitorHistory.h"

#include <QDialog>
#include <chrono>
#include <string>

class QHBoxLayout;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kav {

// The object names a monitor window gives its log and its four buttons, and whether its
// "running" and "paused" lines carry the time.
struct MonitorControlNames {
    const char* memo;
    const char* start;
    const char* pause;
    const char* close;
    bool stampedModeLines;
};

// What the byte and packet monitors share: a modeless log window that registers with its
// source while shown, takes the notices that came meanwhile on a short timer, builds their
// lines and paints them together. The log keeps the newest lines only.
class MonitorForm : public QDialog {
public:
    static constexpr int kMaxLines = 2000;
    static constexpr int kPaintMs = 100;
    static constexpr std::size_t kMaxNotices = 8192;

    bool paused() const { return paused_; }
    // Handles the waiting notices and paints their lines now (the timer does it otherwise).
    void flush();
    // Main-thread time spent painting lines since the window was made.
    std::chrono::nanoseconds paintTime() const { return paintTime_; }
    QPlainTextEdit& log() { return *memo_; }

protected:
    MonitorForm(const QString& caption, const MonitorControlNames& names, QWidget* parent);

    // Registers with the source (also restarting its numbering) and unregisters; after
    // detach() returns nothing more is posted to the window.
    virtual void attach() = 0;
    virtual void detach() = 0;
    // Builds the lines of one notice, on the UI thread.
    virtual void handle(const MonitorNotice& notice) = 0;
    // Where the source posts.
    NoticeQueue& notices() { return notices_; }

    // Queues a line for the next paint.
    void addLine(std::string line);
    QHBoxLayout& buttonRow() { return *buttons_; }

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void startClick();
    void pauseClick();
    void clearClick();
    void setPaused(bool paused);

    QPlainTextEdit* memo_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* pause_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
    QTimer* paintTimer_ = nullptr;
    NoticeQueue notices_{kMaxNotices};
    LineBatch batch_{kMaxLines};
    bool paused_ = true;
    bool attached_ = false;
    bool stampedModeLines_;
    std::chrono::nanoseconds paintTime_{0};
};

} // namespace kav
