#pragma once

#include "editors/CtcssSettings.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kav {

class AppContext;
class HelpPanel;

// "CTCSS Setup": CTCSS operation and its channels, the CTCSS/DCS tones of the CB channels and
// the Trawl memory, the tone set and the Silent Channel Memory. Every showing loads them from
// the image; OK stores them, Cancel stores nothing.
class TfrmCtcss : public QDialog {
    Q_OBJECT

public:
    explicit TfrmCtcss(AppContext& context, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 626;
    static constexpr int kClientHeight = 473;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* createOptions();
    QGroupBox* createSilentMemory();
    void connectHelp();
    void FormShow();
    void showTones();
    void OKBtnClick();
    void chkEnableCbCtcssClick();
    void btnCtcssSelectAllClick(bool checked);
    void cbCTCSSToneSetChange(int index);
    void takeTones();

    AppContext& ctx_;
    CtcssSettings s_; // the working copy from showing to OK
    HelpPanel* help_ = nullptr;

    QCheckBox* chkEnableCbCtcss_ = nullptr;
    QCheckBox* chkCtcssOnDup_ = nullptr;
    QCheckBox* chkCtcssNb_ = nullptr;
    QCheckBox* chkBusyLockout_ = nullptr;
    QCheckBox* chkBusyLockoutOverride_ = nullptr;
    QCheckBox* chkCTCSS_RPK_ = nullptr;
    QCheckBox* chkCTCSS_SilentTail_ = nullptr;
    QLabel* lblCbCtcssTx_ = nullptr;
    QComboBox* cmbTxCtcss_ = nullptr;
    QLabel* lblCTCSSToneSet_ = nullptr;
    QComboBox* cbCTCSSToneSet_ = nullptr;
    QLabel* lblTrawlTone_ = nullptr;
    QComboBox* cmbTrawlTone_ = nullptr;
    QGroupBox* gbCtcssMem_ = nullptr;
    std::vector<QCheckBox*> silent_; // channels 1-80 in order
    QPushButton* btnCtcssSelectAll_ = nullptr;
    QPushButton* btnCtcssDeselectAll_ = nullptr;
};

} // namespace kav
