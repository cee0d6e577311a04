#pragma once

#include <QDialog>
#include <vector>

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kav {

class AppContext;

// "AutoDetect": tries the present COM ports one per timer tick until a radio of the build's
// family answers. Closing it any way stops the scan; a scan that found nothing puts the port
// back on the configured one, so the next command does not talk to the last port probed.
class TfrmAutoDetect : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAutoDetect(AppContext& context, QWidget* parent = nullptr);

    // The port where an accepted radio answered, 0 for none.
    int GetDetectedPort() const { return detectedPort_; }
    bool scanning() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormShow();
    void TimerAutoDetectTimer();
    void finishScan();
    void showLines(const std::vector<std::string>& lines);
    void setButton(const char* caption);

    AppContext& ctx_;
    int detectedPort_ = 0;
    std::vector<int> ports_;
    std::size_t nextIndex_ = 0;
    bool probed_ = false; // the scan moved the port since it was shown
    std::vector<int> busyPorts_;
    QPlainTextEdit* Memo1_ = nullptr;
    QPushButton* btnClose_ = nullptr;
    QTimer* TimerAutoDetect_ = nullptr;
};

} // namespace kav
