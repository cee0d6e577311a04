#include "engineering/SamplesChart.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace kav {

namespace {

constexpr int kChartWidth = 640;
constexpr int kChartHeight = 400;

} // namespace

TfrmSamplesChart::TfrmSamplesChart(QWidget* parent) : QDialog(parent) {
    setObjectName("frmSamplesChart");
    setWindowTitle("Audio Samples");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Series1_ = new QLineSeries;
    Series1_->setObjectName("Series1");
    Series1_->setColor(Qt::red);
    Series1_->setPointsVisible(false);
    audioSamplesChart_ = new QChart;
    audioSamplesChart_->setObjectName("audioSamplesChart");
    audioSamplesChart_->setTitle("Audio samples");
    audioSamplesChart_->legend()->hide();
    audioSamplesChart_->addSeries(Series1_);
    audioSamplesChart_->createDefaultAxes();
    auto* view = new QChartView(audioSamplesChart_, this);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFixedSize(kChartWidth, kChartHeight);

    auto* close = new QPushButton("close", this);
    close->setObjectName("btnClose");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmSamplesChart::setSamples(std::span<const std::int16_t> samples) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(samples.size()));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        points.append(QPointF(static_cast<double>(i), samples[i]));
    }
    Series1_->replace(points);
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    const double lo = samples.empty() ? -1 : std::min<double>(*low, -1);
    const double hi = samples.empty() ? 1 : std::max<double>(*high, 1);
    for (QAbstractAxis* axis : audioSamplesChart_->axes(Qt::Horizontal)) {
        axis->setRange(0, std::max<double>(1, static_cast<double>(samples.size()) - 1));
    }
    for (QAbstractAxis* axis : audioSamplesChart_->axes(Qt::Vertical)) {
        axis->setRange(lo, hi);
    }
}

} // namespace kav
