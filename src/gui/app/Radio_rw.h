#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kav {

class Event;

// Progress of a whole-radio transfer. Cancel (or Esc) signals the transfer's cancel event;
// closing the window with its close box leaves the transfer running.
class TfrmReadWrite : public QDialog {
    Q_OBJECT

public:
    explicit TfrmReadWrite(QWidget* parent = nullptr);

    void setRange(int min, int max);
    void setProgress(int position);
    void setCancelEvent(Event* event) { cancelEvent_ = event; }
    void setRunning();
    void setEnded();
    void showResult(const QString& text);
    bool running() const { return running_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void btnCancelClick();

    QLabel* lblAction_ = nullptr;
    QProgressBar* gaugeProgress_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    Event* cancelEvent_ = nullptr;
    bool running_ = false;
};

} // namespace kav
