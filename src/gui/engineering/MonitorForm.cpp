#include "engineering/MonitorForm.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr int kLogWidth = 620;
constexpr int kLogHeight = 360;

QPushButton* monitorButton(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

MonitorForm::MonitorForm(const QString& caption, const MonitorControlNames& names, QWidget* parent)
    : QDialog(parent), stampedModeLines_(names.stampedModeLines) {
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(names.memo);
    memo_->setReadOnly(true);
    memo_->setUndoRedoEnabled(false); // no undo history growing with the log
    memo_->setMaximumBlockCount(kMaxLines);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font("Courier New", 9);
    font.setStyleHint(QFont::Monospace);
    memo_->setFont(font);
    memo_->setFixedSize(kLogWidth, kLogHeight);

    start_ = monitorButton("start", names.start, this);
    pause_ = monitorButton("pause", names.pause, this);
    auto* close = monitorButton("close", names.close, this);
    auto* clear = monitorButton("clear", "btnClear", this);
    connect(start_, &QPushButton::clicked, this, &MonitorForm::startClick);
    connect(pause_, &QPushButton::clicked, this, &MonitorForm::pauseClick);
    connect(clear, &QPushButton::clicked, this, &MonitorForm::clearClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    buttons_ = new QHBoxLayout;
    buttons_->addWidget(start_);
    buttons_->addWidget(pause_);
    buttons_->addWidget(clear);
    buttons_->addStretch();
    buttons_->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    layout->addLayout(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    paintTimer_ = new QTimer(this);
    paintTimer_->setInterval(kPaintMs);
    connect(paintTimer_, &QTimer::timeout, this, &MonitorForm::flush);
    setPaused(true);
}

void MonitorForm::flush() {
    QElapsedTimer timer;
    timer.start();
    for (const MonitorNotice& notice : notices_.take()) {
        handle(notice);
    }
    if (!batch_.empty()) {
        memo_->appendPlainText(QString::fromStdString(batch_.take()));
    }
    paintTime_ += std::chrono::nanoseconds(timer.nsecsElapsed());
}

void MonitorForm::addLine(std::string line) {
    batch_.add(std::move(line));
}

void MonitorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || attached_) {
        return; // restored from the task bar: still running as it was
    }
    memo_->clear();
    batch_.clear();
    notices_.clear();
    attach();
    attached_ = true;
    paintTimer_->start();
    startClick();
}

// Closing by any means (button, close box, Esc) unregisters; minimising does not.
void MonitorForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && attached_) {
        detach();
        attached_ = false;
        paintTimer_->stop();
        flush(); // what came before the close
        setPaused(true);
    }
    QDialog::hideEvent(event);
}

// Notices that came before the click are logged as they would have been then.
void MonitorForm::startClick() {
    flush();
    if (paused_) {
        setPaused(false);
        const std::string line = "------ running ------";
        addLine(stampedModeLines_ ? clockStamp() + line : line);
    }
}

void MonitorForm::pauseClick() {
    flush();
    if (!paused_) {
        setPaused(true);
        const std::string line = "------ paused ------";
        addLine(stampedModeLines_ ? clockStamp() + line : line);
    }
}

void MonitorForm::clearClick() {
    batch_.clear();
    memo_->clear();
}

void MonitorForm::setPaused(bool paused) {
    paused_ = paused;
    start_->setEnabled(paused);
    pause_->setEnabled(!paused);
}

} // namespace kav
