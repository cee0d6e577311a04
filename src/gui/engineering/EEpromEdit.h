#pragma once

#include "app/QueuedSink.h"
#include "engineering/EepromCells.h"
#include "link/Event.h"
#include "model/Eeprom.h"

#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace kav {

class AppContext;
class TfrmReadWrite;

// "EEPROM": the whole configuration memory as a table of raw values labelled with the
// variables at each address. It works on a working copy of its source that OK copies back;
// single locations and the whole memory can be read from and written to the radio at once.
class TfrmEEpromEdit : public QDialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kTransferMessage = 2026;

    explicit TfrmEEpromEdit(AppContext& context, QWidget* parent = nullptr);
    ~TfrmEEpromEdit() override;

    // The image OK copies into (the shared image unless a caller says otherwise).
    void setDataSource(EEPROM* source) { source_ = source; }
    const EEPROM& workingCopy() const { return working_; }
    TfrmReadWrite& progressDialog() { return *progress_; }
    // A whole-memory transfer of this window is under way.
    bool transferRunning() const { return transferRunning_; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    enum class Result { Completed = 0, Failed = 1, Cancelled = 2 };

    QWidget* createSidePanel();
    QWidget* createBottomPanel();
    void FormShow();
    void btnOKClick();
    void rgBaseClick(int id);
    void rgDataSizeClick(int id);
    void btnReadAddrClick();
    void btnWriteAddrClick();
    void btnEraseClick();
    void btnReadAllClick();
    void btnWriteAllClick();
    void btnResetClick();
    void btnProgrModeClick();

    // Stores every data cell in the working copy; stops at the first cell that is not a
    // number of the base (selecting it and saying why) and returns false.
    bool applyGrid();
    void showData();
    void layoutGrid();
    void writeLabels();
    int singleLocation(const QString& text, const QString& caption, const QString& line);
    void changeView(CellBase base, CellSize size);
    void startLine(const QString& line);
    void endLine(const QString& ending);

    void startTransfer(bool write);
    void runWorker(bool write, int generation);
    void transferNotice(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);
    void transferEnded(bool write, Result result, bool resetOk, int generation);
    void setBusy(bool busy);
    // Cancels a running whole-memory transfer and waits for its worker to end.
    void stopTransfer();

    AppContext& ctx_;
    EEPROM* source_ = nullptr;
    EEPROM working_;
    CellBase base_ = CellBase::Dec;
    CellSize size_ = CellSize::Byte;
    Event cancel_;
    bool writing_ = false;
    bool transferRunning_ = false;
    int generation_ = 0; // steps of a transfer from an earlier showing are ignored

    QTableWidget* sg_eeprom_ = nullptr;
    QButtonGroup* rgDataSize_ = nullptr;
    QButtonGroup* rgBase_ = nullptr;
    QPlainTextEdit* memoEE_ = nullptr;
    QWidget* sidePanel_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    TfrmReadWrite* progress_ = nullptr;
    QueuedSink sink_;
};

} // namespace kav
