#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

class QCheckBox;
class QGridLayout;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTimer;

namespace kav {

class AppContext;
class TfrmSamplesChart;
class UpDown;
struct FieldRule;

// "Development": a bench of single radio commands for the radio's developers. Each group
// sends one command with the values typed or chosen here and reports the outcome in the memo.
class TfrmEngineering : public QDialog {
    Q_OBJECT

public:
    static constexpr int kStartFrequencyHz = 477000000;
    static constexpr int kPollMs = 400;

    explicit TfrmEngineering(AppContext& context, QWidget* parent = nullptr);
    ~TfrmEngineering() override;

    int frequency() const { return frequency_; }
    TfrmSamplesChart& samplesChart() { return *frmSamplesChart_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Command {
        const char* name;
        const char* caption;
        void (TfrmEngineering::*handler)();
    };
    // A button for each command, one row each from the first, in the grid's column.
    void addCommands(QWidget* parent, QGridLayout& grid, int column,
                     std::initializer_list<Command> commands);
    QGroupBox* createFrequency();
    QWidget* createTopPanel();
    QGroupBox* createConfiguration();
    QGroupBox* createTones();
    QGroupBox* createAutoAlign();
    QGroupBox* createLcdTest();
    QGroupBox* createMemory();
    QGroupBox* createVolume();
    QGroupBox* createRadioId();
    QGroupBox* createWideband();
    QGroupBox* createSendKavII();
    QGroupBox* createContrast();
    QGroupBox* createArray();
    QGroupBox* createBaudRate();
    QGroupBox* createAnalog();

    void FormShow();
    void showFrequency();
    void tune();
    void stepFrequency(int direction);
    void btnFreqMouseDown(int direction);
    void btnFreqIncMouseUp();
    void TimerKeyHeldTimer();
    void setFrequency(int hz);
    void btnPTTClick();
    void showTxRx();
    void btnSquelchClick();
    void btnResetClick();
    void btnProgModeClick();
    void btnSetChannelClick();
    void btnCTCSSClick();
    void btnSelcallClick();
    void btnAutoAlignClick();
    void btnWriteLCDClick();
    void btnMemWriteClick();
    void btnMemReadClick();
    void chkTestModeClick(bool checked);
    void btnAudioSamplesClick();
    void tbVolumeChange(int position);
    void btnRefreshVolumeClick();
    void btnReadIDClick();
    void btnWriteIDClick();
    void btnSetWidebandClick();
    void btnSendKAVIICommandClick();
    void btnSetContrastClick();
    void btnReadArrayClick();
    void btnWriteArrayClick();
    void btnSetRadioBaudRateClick();
    void btnSetPCBaudRateClick();
    void chkADPollingClick(bool checked);
    void ADPollTimerTimer();
    void btnReqTempClick();

    // Clears the memo and names the action.
    void begin(const QString& line);
    void addLine(const QString& line);
    void report(bool ok);
    // The field's number, or nothing after saying why (nothing is sent then).
    std::optional<int> field(QLineEdit* edit, const FieldRule& rule);
    void refuse(const QString& why);
    int contrastAddress() const;
    // The array address and byte count, both written back as read; nothing when refused.
    std::optional<std::pair<int, int>> arrayRequest();

    AppContext& ctx_;
    int frequency_ = kStartFrequencyHz;
    int stepDirection_ = 0;
    bool transmitting_ = false;
    bool squelchOpen_ = false;

    QLineEdit* editFreq_ = nullptr;
    QComboBox* cbFreqStep_ = nullptr;
    QLabel* lblTxRx_ = nullptr;
    QCheckBox* chkTestMode_ = nullptr;
    UpDown* udCTCSS_ = nullptr;
    UpDown* udSelcall_ = nullptr;
    QLineEdit* editAlignStart_ = nullptr;
    QLineEdit* editAlignStop_ = nullptr;
    QLineEdit* editAlignStep_ = nullptr;
    std::array<QCheckBox*, 4> chkAlign_{};
    QLineEdit* edit7seg_ = nullptr;
    QLineEdit* editAlphaText_ = nullptr;
    QLineEdit* edtIcons_ = nullptr;
    QLineEdit* edit_memaddr_ = nullptr;
    QLineEdit* edit_memdata_ = nullptr;
    QLineEdit* edit_memmask_ = nullptr;
    QSlider* tbVolume_ = nullptr;
    QLineEdit* edtVolume_ = nullptr;
    QLineEdit* edtID_ = nullptr;
    QLineEdit* edtSendKAVII_ = nullptr;
    UpDown* udLCDContrast_ = nullptr;
    QPushButton* btnSetContrast_ = nullptr;
    QLineEdit* edtArrayAddress_ = nullptr;
    QLineEdit* edtArrayNumBytes_ = nullptr;
    QComboBox* cbBaudRate_ = nullptr;
    QLineEdit* editRSSI_ = nullptr;
    QLineEdit* editNoisevolts_ = nullptr;
    QCheckBox* chkADPolling_ = nullptr;
    QLineEdit* edtTempVal_ = nullptr;
    QPlainTextEdit* memoEng_ = nullptr;
    QTimer* TimerKeyHeld_ = nullptr;
    QTimer* ADPollTimer_ = nullptr;
    TfrmSamplesChart* frmSamplesChart_ = nullptr;
};

} // namespace kav
