#pragma once

#include "editors/RxChannelSettings.h"

#include <QDialog>
#include <memory>

class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTableWidget;

namespace kav {

class AppContext;
class TfrmRxChEdit;

// "Channel Data": the receive-only channels of one bank in a grid, added, edited and deleted
// in a working table that OK stores into the image and Cancel drops.
class TfrmRxChData : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 492;
    static constexpr int kClientHeight = 544;

    TfrmRxChData(AppContext& context, QWidget* parent = nullptr);
    ~TfrmRxChData() override;

    const RxChannelSettings& settings() const { return settings_; }
    int shownBank() const { return bank_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void fillGrid(int selectChannel = 0);
    void tcBanksChange(int index);
    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnClearAllClick();
    void btnOKClick();
    // The channel of the selected row, 0 when the bank has none.
    int selectedChannel() const;
    TfrmRxChEdit& channelDialog();

    AppContext& ctx_;
    RxChannelSettings settings_;
    RX_CH_DATA_STRUCT addTemplate_{477000000, "ALPHA", 0};
    int bank_ = 0;
    QTabBar* tcBanks_;
    QTableWidget* sgRxChEdit_;
    QMenu* popUpMenu_;
    QPushButton* btnClearAll_;
    QPlainTextEdit* memo1_;
    std::unique_ptr<TfrmRxChEdit> frmRxChEdit_; // made on first use, kept
};

} // namespace kav
