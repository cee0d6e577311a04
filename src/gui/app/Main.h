#pragma once

#include "workflow/BuildConfig.h"

#include <QMainWindow>

class QLabel;

namespace kav {

// The program's main window: a fixed 800 x 624 black panel.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(const BuildConfig& config, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 624;

private:
    BuildConfig config_;
    QLabel* lblVersion_ = nullptr;
};

} // namespace kav
