#pragma once

#include "model/BuildConfig.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kav {

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    TAboutBox(const BuildConfig& config, int advancedMode, QWidget* parent = nullptr);

    // Clears the models memo and adds the build's supported-models line.
    void prepareModelsInfo();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* mmoHeading_ = nullptr;
    QPlainTextEdit* mmoModelsInfo_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblBuildDate_ = nullptr;
    QPushButton* btnClose_ = nullptr;
};

} // namespace kav
