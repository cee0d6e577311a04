#pragma once

#include <QDialog>

class QLabel;

namespace kav {

class AppContext;

// "Firmware Version": who the connected radio is. It asks again every time it becomes the
// active window, so the facts are always fresh.
class TfrmFirmware : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFirmware(AppContext& context, QWidget* parent = nullptr);

    // How many times the radio was asked since the window was made.
    int readCount() const { return readCount_; }

protected:
    bool event(QEvent* event) override;

private:
    void FormActivate();

    AppContext& ctx_;
    QLabel* lblRadioTypeInfo_ = nullptr;
    QLabel* lblProductIDInfo_ = nullptr;
    QLabel* lblPCBRevInfo_ = nullptr;
    QLabel* lblFirmwareInfo_ = nullptr;
    bool reading_ = false;           // a read, or its message box, is under way
    bool leftForOwnMessage_ = false; // the window lost the focus to its own message box
    int readCount_ = 0;
};

} // namespace kav
