#pragma once

#include "editors/SquelchSettings.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;

namespace kav {

class AppContext;
class UpDown;

// "Squelch": the squelch level and the two mute timings. Every showing loads them from the
// image; OK stores them, Cancel stores nothing.
class TfrmSquelch : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSquelch(AppContext& context, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 422;
    static constexpr int kClientHeight = 170;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* createLevelGroup();
    QGroupBox* createTimingGroup();
    void FormShow();
    void btnOKClick();

    AppContext& ctx_;
    SquelchSettings loaded_;
    QGroupBox* gbSquelchLevel_ = nullptr;
    QLineEdit* editSqlLevel_ = nullptr;
    UpDown* udSqlLevel_ = nullptr;
    QLineEdit* editMuteDebounce_ = nullptr;
    UpDown* udMuteDebounce_ = nullptr;
    QLineEdit* editMuteOpen_ = nullptr;
    UpDown* udMuteOpen_ = nullptr;
};

} // namespace kav
