#include "editors/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kav {

namespace {

constexpr int kButtonWidth = 16;

QToolButton* arrowButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    b->setFixedWidth(kButtonWidth);
    return b;
}

} // namespace

UpDown::UpDown(QLineEdit& buddy, QWidget* parent)
    : QWidget(parent), buddy_(buddy), up_(arrowButton(this, Qt::UpArrow)),
      down_(arrowButton(this, Qt::DownArrow)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(up_);
    column->addWidget(down_);
    // As tall as the edit, whatever room the layout offers.
    setFixedSize(kButtonWidth, buddy_.sizeHint().height());
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
    buddy_.installEventFilter(this);
    setPosition(0);
}

void UpDown::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    setPosition(position_);
}

void UpDown::setSingleStep(int step) {
    step_ = std::max(step, 1);
}

void UpDown::setPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
    buddy_.setText(QString::number(position_));
}

void UpDown::stepBy(int steps) {
    takeBuddyText();
    setPosition(position_ + steps * step_);
    emit stepped(steps);
}

void UpDown::takeBuddyText() {
    bool number = false;
    const qlonglong typed = buddy_.text().toLongLong(&number);
    if (number) {
        position_ = static_cast<int>(std::clamp<qlonglong>(typed, minimum_, maximum_));
    }
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kav
