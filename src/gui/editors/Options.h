#pragma once

#include "editors/OptionsSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace kav {

class AppContext;
class HelpPanel;
class UpDown;

// "Radio Options": display, audio, microphone, key and channel options. Every showing loads
// them from the image; OK stores them; "Write contrast" writes the LCD contrast to the radio
// at once, whatever OK or Cancel do later.
class TfrmOptions : public QDialog {
    Q_OBJECT

public:
    explicit TfrmOptions(AppContext& context, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 582;
    static constexpr int kClientHeight = 547;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* createGeneralOptions();
    QGroupBox* createMicGain();
    QGroupBox* createWirelessRemote();
    QGroupBox* createDisplayOptions();
    QGroupBox* createTimeout();
    QGroupBox* createOtherOptions();
    void connectHelp();
    void FormShow();
    void showMicGain(const OptionsSettings& s);
    void OKBtnClick();
    void btnUpdateContrastClick();
    void chkAllowZeroMinVolumeClick(bool checked);
    void showTotalMicGain();

    AppContext& ctx_;
    OptionsSettings loaded_;
    HelpPanel* help_ = nullptr;

    QCheckBox* chkPTT22_23_ = nullptr;
    UpDown* udBeepVol_ = nullptr;
    QWidget* minVolumeRow_[3] = {};
    UpDown* udMinVolume_ = nullptr;
    QCheckBox* chkAllowRxAudioMute_ = nullptr;
    QCheckBox* chkAllowZeroMinVol_ = nullptr;
    QCheckBox* chkEnaIntSpkr_ = nullptr;

    QLabel* lblMicGain_ = nullptr;
    UpDown* udMicGain_ = nullptr;
    std::vector<QWidget*> userGainControls_;
    UpDown* udUserMicGain_ = nullptr;
    QLineEdit* editNetMicGain_ = nullptr;
    std::vector<QWidget*> rearControls_;
    QLabel* lblMicGainRear_ = nullptr;
    UpDown* udMicGainRear_ = nullptr;

    QGroupBox* gbWirelessRemote_ = nullptr;
    QComboBox* cbWPTTMicSel_ = nullptr;
    UpDown* udMicGainWireless_ = nullptr;
    QComboBox* cbWPTTKeyFunctions_ = nullptr;

    QComboBox* cbCBDisplay_ = nullptr;
    QGroupBox* rgDisplayMode_ = nullptr;
    QRadioButton* rbNumeric_ = nullptr;
    QRadioButton* rbAlpha_ = nullptr;
    std::vector<QWidget*> rxOnlyDisplayControls_;
    QComboBox* cbRxonlyDisplay_ = nullptr;
    std::vector<QWidget*> contrastControls_;
    UpDown* udLCDContrast_ = nullptr;

    UpDown* udTxTimeOut_ = nullptr;

    QCheckBox* cbDVC_ = nullptr;
    QCheckBox* cbNarrowbandCB1_40_ = nullptr;
    QCheckBox* cbBusyLockout_ = nullptr;
    QCheckBox* cbScrambler_ = nullptr;
    QCheckBox* chkEnableSqlTailMute_ = nullptr;
};

} // namespace kav
