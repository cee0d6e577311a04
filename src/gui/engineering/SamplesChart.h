#pragma once

#include <QDialog>
#include <cstdint>
#include <span>

class QChart;
class QLineSeries;

namespace kav {

// "Audio Samples": the last block of audio samples read from the radio, sample value against
// sample index.
class TfrmSamplesChart : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSamplesChart(QWidget* parent = nullptr);

    void setSamples(std::span<const std::int16_t> samples);
    QLineSeries& series() { return *Series1_; }

private:
    QChart* audioSamplesChart_ = nullptr;
    QLineSeries* Series1_ = nullptr;
};

} // namespace kav
