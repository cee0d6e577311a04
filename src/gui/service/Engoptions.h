#pragma once

#include "editors/EngOptionsSettings.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace kav {

class AppContext;

// "Advanced Options": the settings a technician sets once per radio, edited in the image.
// It maps EngOptionsSettings onto its controls on show and back on OK; it also offers a live
// noise reading to help set the squelch thresholds.
class TfrmEngOptions : public QDialog {
    Q_OBJECT

public:
    explicit TfrmEngOptions(AppContext& context, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Deviation {
        QLineEdit* edit = nullptr;
        int reg = 0;
        const char* name;
    };

    QGroupBox* createThresholds();
    QGroupBox* createGeneral();
    QGroupBox* createCtcss();
    QWidget* deviationRow(Deviation& deviation, const char* editName, const char* udName,
                          int maxLength);
    void FormShow();
    void btnOkClick();
    void chkAdcPollingClick(bool checked);
    void Timer1Timer();
    void stepDeviation(Deviation& deviation, int step);
    // Takes the edit's number as the register and shows it again in Hz; text that is not a
    // number keeps the register and says so.
    void enterDeviation(Deviation& deviation);
    void showDeviation(const Deviation& deviation);

    AppContext& ctx_;
    EngOptionsSettings loaded_;
    Deviation ctcss_{nullptr, 0, "CTCSS Deviation"};
    Deviation dcs_{nullptr, 0, "DCS Deviation"};
    std::array<QSpinBox*, kSquelchThresholds> udSql_{};
    std::array<QLabel*, kSquelchThresholds> lblSql_{};
    QGroupBox* gbSquelchThresholds_ = nullptr;
    QLineEdit* editNoiseVolts_ = nullptr;
    QCheckBox* chkAdcPolling_ = nullptr;
    QCheckBox* chkEnableTx_RxOnly_ = nullptr;
    QCheckBox* chkCTCSS_5_35_ = nullptr;
    QCheckBox* chkCTCSS38Ext_ = nullptr;
    QSpinBox* udCTCSS_RPK_ = nullptr;
    QSpinBox* udCTCSS_SilentTail_ = nullptr;
    QTimer* Timer1_ = nullptr;
};

} // namespace kav
