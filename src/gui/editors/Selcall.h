#pragma once

#include "editors/SelcallSettings.h"

#include <QDialog>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kav {

class AppContext;
class HelpPanel;
class TfrmSelcallIdents;
class UpDown;

// "Selcall Options": the radio's own ident and name, receive and transmit options, group
// calls, the user's permissions, the tone period (engineering builds) and the Quiet Memory.
// "Edit Selcall Memories" opens the selcall memory editor, whose OK writes on its own.
class TfrmSelcall : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSelcall(AppContext& context, QWidget* parent = nullptr);
    ~TfrmSelcall() override;

    // The selcall memory editor once it was opened (nullptr before).
    TfrmSelcallIdents* selcallIdents() const { return frmSelcallIdents_.get(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* createIdentPanel();
    QWidget* createReceiveOptions();
    QWidget* createTransmitOptions();
    QWidget* createGeneralOptions();
    QWidget* createQuietMemory();
    void FormShow();
    void OKBtnClick();
    void btnSelcallMemClick();

    AppContext& ctx_;
    SelcallSettings loaded_; // what the controls do not show: the build's features

    QLineEdit* MaskEditRadioIdent_ = nullptr;
    QLineEdit* editRadioAlpha_ = nullptr;
    QCheckBox* chkAlertIndividualCall_ = nullptr;
    QCheckBox* chkAlertGroupCall_ = nullptr;
    QCheckBox* chkBeepAlarms_ = nullptr;
    QCheckBox* chkBeepAckEnable_ = nullptr;
    QCheckBox* chkUnmuteOnSelcall_ = nullptr;
    QCheckBox* chkReenterQuiet_ = nullptr;
    QCheckBox* chkAcceptGroupCalls_ = nullptr;
    QComboBox* comboRxGrpSize_ = nullptr;
    UpDown* udAlertDuration_ = nullptr;
    QCheckBox* chkAppendAni_ = nullptr;
    QCheckBox* chkLeadInDelay_ = nullptr;
    QLineEdit* editLeadInDelay_ = nullptr;
    UpDown* udLeadInDelay_ = nullptr;
    QCheckBox* chkLead_In_Tone_ = nullptr;
    QCheckBox* chkSendGroupCalls_ = nullptr;
    QComboBox* comboTxGrpSize_ = nullptr;
    QCheckBox* chkUserModifyOwnIdent_ = nullptr;
    QCheckBox* editUserModifyMemory_ = nullptr;
    QComboBox* comboTonePeriod_ = nullptr;
    std::vector<QWidget*> tonePeriodControls_;
    std::vector<QCheckBox*> quiet_;
    HelpPanel* help_ = nullptr;
    std::unique_ptr<TfrmSelcallIdents> frmSelcallIdents_; // made on first use, kept
};

} // namespace kav
