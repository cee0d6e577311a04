#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kav {

// Spin buttons beside an edit (their buddy) that shows their position. The buttons and the
// Up/Down keys in the edit step the position within its range, without wrapping, and write it
// into the edit as a plain number. A number typed into the edit becomes the position when the
// buttons are next used or when takeBuddyText() is called.
class UpDown : public QWidget {
    Q_OBJECT

public:
    UpDown(QLineEdit& buddy, QWidget* parent);

    void setRange(int minimum, int maximum);
    void setSingleStep(int step);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int singleStep() const { return step_; }

    int position() const { return position_; }
    // Clamped to the range; the edit shows the new position.
    void setPosition(int position);
    void stepBy(int steps);
    // A number in the edit becomes the position (clamped); other text leaves it unchanged.
    void takeBuddyText();

signals:
    // A button or arrow key stepped the position (the person's click, not setPosition);
    // `steps` is +1 up, -1 down. Sent even when the position was already at its limit.
    void stepped(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit& buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
    int position_ = 0;
};

} // namespace kav
