#pragma once

#include "model/Eeprom.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kav {

class FrequencySpin;

// "Add Channel" / "Edit Channel": one receive-only channel's frequency, name and memberships.
class TfrmRxChEdit : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 232;
    static constexpr int kClientHeight = 255;

    enum class Mode { Add, Edit };

    TfrmRxChEdit(bool alphaTags, QWidget* parent = nullptr);
    ~TfrmRxChEdit() override;

    // Shows `record` for channel `number` (edit) or for one of `freeChannels`, the first
    // chosen (add). The name field starts empty when adding.
    void prepare(Mode mode, const RX_CH_DATA_STRUCT& record, int number,
                 const std::vector<int>& freeChannels = {});
    // The dialog's values into `record`; the channel number, or -1 when the frequency is not
    // one a channel can hold.
    int storeTo(RX_CH_DATA_STRUCT& record) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void editFreqReturn();
    void udFreqChangingEx(bool up);
    void btnOKClick();
    void showFrequency(std::uint32_t hz);

    Mode mode_ = Mode::Add;
    QLineEdit* editFreq_;
    FrequencySpin* udFreq_;
    QComboBox* cbChannel_;
    QLineEdit* editChannel_;
    QLabel* lblAlphaTag_;
    QLineEdit* editAlphaTag_;
    QCheckBox* chkScan1_;
    QCheckBox* chkScan2_;
    QCheckBox* chkQuiet_;
    QCheckBox* chkSilent_;
};

} // namespace kav
