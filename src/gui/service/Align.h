#pragma once

#include "app/QueuedSink.h"
#include "editors/HelpPanel.h"
#include "link/Event.h"
#include "service/Calibration.h"

#include <QDialog>
#include <array>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;

namespace kav {

class AppContext;
class UpDown;

// "Alignment": the technician's bench window. It keys the transmitter, opens the squelch,
// steps and tunes the radio, switches test tones, polls the receiver's readings and writes
// each calibration byte to the running radio (and, once accepted, into the image). The two
// measuring procedures run on the worker so the window stays responsive; Close cancels them.
class TformAlign : public QDialog {
    Q_OBJECT

public:
    explicit TformAlign(AppContext& context, QWidget* parent = nullptr);
    ~TformAlign() override;

    // The main window's entry: the calibration read (or the choice to go offline), then the
    // window, modally. Rejected without showing when the read failed or was declined.
    int exec() override;
    // Set by the opener before showing.
    void setOffline(bool offline) { offline_ = offline; }
    bool offline() const { return offline_; }
    // A measuring procedure runs on the worker.
    bool procedureRunning() const { return procedureSeq_ > finishedSeq_; }

    static constexpr int kPollRssiMs = 400;
    static constexpr int kPollFreqErrorMs = 500;
    static constexpr int kKeyFirstMs = 500;
    static constexpr int kKeyRepeatMs = 100;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One calibration value: its edit, its up-down and the byte address it writes.
    struct Value {
        QLineEdit* edit = nullptr;
        UpDown* ud = nullptr;
        int address = -1;
    };
    // The modulation or balance register with its shown level.
    struct Level {
        QLineEdit* edit = nullptr;
        UpDown* ud = nullptr;
        int reg = 0;
        int address = -1;
        const char* invalidText = "";
    };

    QWidget* createLeftPanel();
    QWidget* createFrequencyPage();
    QWidget* createTransmitPage();
    QWidget* createReceiverPage();
    QWidget* createSquelchPage();
    QWidget* createSMeterPage();
    QWidget* createLowerPanel();
    QWidget* createBottomPanel();
    // What the person's Enter and up-down clicks do with a value.
    enum class EditKind { UpDownOnly, Committed, MicGain };
    QWidget* valueRow(Value& value, const QString& editName, const QString& udName, int minimum,
                      int maximum, EditKind kind);
    QWidget* levelRow(Level& level, const QString& editName, const QString& udName,
                      const QString& unitName);
    QGroupBox* radioGroup(const QString& name, const QString& caption, const QStringList& items,
                          QButtonGroup*& group);
    void connectHelp();

    void FormShow();
    void FormClose();
    void loadValues();
    void showPages();
    void updateHelpTexts(bool volumeShown);
    void btnCloseClick();
    void rgTestToneClick(int item);
    void btnPTTClick();
    void showTxRx();
    void btnSquelchClick();
    void BitBtnUpMouseDown(int direction);
    void KeyTimerTimer();
    void BitBtnUpMouseUp();
    void stepChannel();
    void showChannel();
    void editChannelClick();
    void rbAlignFreqClick(int item);
    void PageControl1Change(int index);
    void chkRxFreqErrorClick(bool checked);
    void TimerFreqErrorTimer();
    void chkAfcDisableClick(bool checked);
    void chk_rssipolling2Click(bool checked);
    void TimerRSSITimer();
    void tbVolumeChange(int position);
    void btnRefreshVolumeClick();
    void btnResetClick();
    void udAlignClick(const Value& value);
    void OnEditKeyPress(Value& value);
    void stepLevel(Level& level, bool up, bool tracking);
    void enterLevel(Level& level);
    void showLevel(const Level& level);
    void chkTrackModClick(bool checked);
    void rgRFPowerSelectOutput(int item);
    void micGainClick(Value& value);
    void micGainEnter(Value& value);
    void btnAutoRxOffsetClick();
    void btnSetSClick(int point);

    // Radio commands from the window itself wait while the worker uses the radio.
    bool radioFree() const;
    // Runs `body` on the worker, then `ended` on this thread unless the window closed first.
    bool startProcedure(const std::function<std::function<void()>()>& body);
    void procedureEnded(int seq, const std::function<void()>& show);
    // Cancels a running procedure and waits for the worker.
    void stopProcedure();
    void setProcedureUi(bool running);
    void memoClear();
    void memoAdd(const QString& line);
    // Programmatic selection that runs the group's handler only when the selection changes.
    void selectItem(QButtonGroup* group, int item, const std::function<void(int)>& handler);
    static void clearSelection(QButtonGroup* group);

    AppContext& ctx_;
    bool offline_ = false;
    bool transmitting_ = false;
    int status_ = 0;
    int keyDirection_ = 0;
    int firmwareMajor_ = -1;
    int modRef_ = 0;
    int balRef_ = 0;
    Event cancel_;
    int procedureSeq_ = 0;
    int finishedSeq_ = 0;
    QueuedSink sink_;
    MemoSink uiMemo_;
    MemoSink workerMemo_;
    std::vector<HelpText> helpTexts_;
    HelpPanel* help_ = nullptr;

    QWidget* content_ = nullptr;
    QLabel* panelTxRx_ = nullptr;
    QPushButton* btnPTT_ = nullptr;
    QPushButton* btnSquelch_ = nullptr;
    QLabel* lblSQL_ = nullptr;
    QLineEdit* editChannel_ = nullptr;
    QToolButton* BitBtnUp_ = nullptr;
    QToolButton* BitBtnDown_ = nullptr;
    QLabel* lblBank_ = nullptr;
    QLabel* lblRxFreq_ = nullptr;
    QLabel* lblChannelAlpha_ = nullptr;
    QGroupBox* rgAlignmentFreq_ = nullptr;
    QButtonGroup* alignFreqGroup_ = nullptr;
    QLabel* lblOffline_ = nullptr;
    QGroupBox* rgPTTMic_ = nullptr;
    QButtonGroup* pttMicGroup_ = nullptr;

    QTabWidget* PageControl1_ = nullptr;
    QWidget* TabSheetFrequency_ = nullptr;
    QWidget* TabSheetTransmit_ = nullptr;
    QWidget* TabSheetReceiver_ = nullptr;
    QWidget* TabSheetSquelch_ = nullptr;
    QWidget* TabSheetSMeter_ = nullptr;
    QWidget* TabSheetBattery_ = nullptr;

    Value pllFreq_, rxOffset_, tempCo_, tempCoB_;
    std::vector<QWidget*> tempCoControls_;
    QPushButton* btnAutoRxOffset_ = nullptr;
    QLineEdit* editFreqError_ = nullptr;
    QCheckBox* chkRxFreqError_ = nullptr;
    QCheckBox* chkAfcDisable_ = nullptr;

    Level mod_, bal_;
    QCheckBox* chkTrackMod_ = nullptr;
    QGroupBox* rgTestTone_ = nullptr;
    QButtonGroup* testToneGroup_ = nullptr;
    Value rfPowerHi_, rfPowerLo_;
    std::vector<QWidget*> lowPowerControls_;
    QGroupBox* grpSelectPowerOutput_ = nullptr;
    QButtonGroup* powerGroup_ = nullptr;
    QGroupBox* gbMicGains_ = nullptr;
    Value micGain1_, micGain2_;
    QLabel* lblMicGain1_ = nullptr;
    QLabel* lblMicGain2_ = nullptr;
    std::vector<QWidget*> micGain2Controls_;
    QPushButton* btnReset_ = nullptr;

    std::array<std::array<Value, 4>, 3> tune_{};
    std::array<QLabel*, 3> lblFreq_{};
    QLabel* lblNotch_ = nullptr;

    Value sqlSens_;
    Value s1_, s10_;
    QPushButton* btnSetS1_ = nullptr;
    QPushButton* btnSetS10_ = nullptr;

    QGroupBox* gbSetVolume_ = nullptr;
    QSlider* tbVolume_ = nullptr;
    QLineEdit* edtVolume_ = nullptr;
    QLineEdit* editRSSI_ = nullptr;
    QLineEdit* editNoisevolts_ = nullptr;
    QCheckBox* chk_rssipolling2_ = nullptr;

    QPlainTextEdit* MemoAlignHelp_ = nullptr;
    QPushButton* btnClose_ = nullptr;

    QTimer* TimerRSSI_ = nullptr;
    QTimer* KeyTimer_ = nullptr;
    QTimer* TimerFreqError_ = nullptr;
};

} // namespace kav
