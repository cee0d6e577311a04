#pragma once

#include "editors/ScanSettings.h"

#include <QDialog>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace kav {

class AppContext;
class HelpPanel;
class UpDown;

// "Scan and Duplex settings": priority channel, group-scan options, the scan memory in use,
// skip time, duplex channels and the channels of the three scan memories. Every showing loads
// from the image; OK stores into it; Cancel stores nothing.
class TfrmScan : public QDialog {
    Q_OBJECT

public:
    explicit TfrmScan(AppContext& context, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createScanOptions(QWidget* group);
    void createDuplex(QWidget* group);
    void createPages();
    void FormShow();
    void OKBtnClick();
    void btnScanMemSelectAllClick(const std::vector<QCheckBox*>& boxes, bool checked);
    void edtScanSkipTimeEnter();

    AppContext& ctx_;
    ScanSettings loaded_; // what the controls do not show: the build's features, the lists

    QCheckBox* chk3Beep_ = nullptr;
    QCheckBox* chkGS_PTT_EXIT_ = nullptr;
    QCheckBox* chkUserModNSMem_ = nullptr;
    QCheckBox* chkUserModScanMode_ = nullptr;
    QLabel* lblScanMemory_ = nullptr;
    QComboBox* cbScanMemory_ = nullptr;
    QComboBox* cmbRecallM1_ = nullptr;
    QComboBox* cmbPriChkRate_ = nullptr;
    std::vector<QWidget*> skipTimeControls_;
    QLineEdit* edtScanSkipTime_ = nullptr;
    UpDown* udScanSkipTime_ = nullptr;
    std::vector<QCheckBox*> duplex_; // chkDup1-8, then chkDup41-48
    QTabWidget* pcScanMem_ = nullptr;
    std::array<std::vector<QCheckBox*>, ScanSettings::kMemoryCount> memories_;
    std::array<QRadioButton*, 2> groupScan_{}; // rbGS1, rbGS2
    std::array<QRadioButton*, 2> openScan_{};  // rbOS1, rbOS2
    HelpPanel* help_ = nullptr;
};

} // namespace kav
