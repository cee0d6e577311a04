#pragma once

#include "workflow/ReportText.h"

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QPlainTextEdit;
class QPrinter;

namespace kav {

class AppContext;

// "Report": the configuration in the image as text, to read, print or save.
class TfrmReport : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 580;
    static constexpr int kClientHeight = 560;

    TfrmReport(AppContext& context, QWidget* parent = nullptr);
    ~TfrmReport() override;

    ReportOptions options() const;
    const std::vector<std::string>& lines() const { return lines_; }
    // Prints the report's lines on `printer`, page after page, each page numbered. False when
    // the printer could not be started.
    bool printReport(QPrinter& printer) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btnCreateClick();
    void btnPrintClick();
    void mnuSaveClick();

    AppContext& ctx_;
    std::vector<std::string> lines_; // what the memo shows
    QPlainTextEdit* memo_report_;
    QCheckBox* chkCalibration_;
    QCheckBox* chkRxChannels_;
    QCheckBox* chkSelcallMem_;
};

} // namespace kav
