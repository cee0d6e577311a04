#pragma once

#include "editors/SelcallMemories.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace kav {

class AppContext;
class HelpPanel;

// "Selcall Memory": the ten selcall memories, each a code of which the last N digits are shown
// and edited, and a five-character name. Opened from the Selcall editor, which sets N first.
// OK writes all ten into the image at once; Cancel writes nothing.
class TfrmSelcallIdents : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSelcallIdents(AppContext& context, QWidget* parent = nullptr);

    // How many trailing digits of each code are shown and edited (limited to 0-8).
    void setIdentLength(int length);
    int identLength() const { return identLength_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKBtnClick();
    void btnClearClick();
    void fillGrid();

    AppContext& ctx_;
    int identLength_ = SelcallMemory::kDigits;
    SelcallMemories memories_; // the working table between showing and OK
    QTableWidget* sgSelcallMemory_ = nullptr;
    QPushButton* btnClear_ = nullptr;
    HelpPanel* help_ = nullptr;
};

} // namespace kav
