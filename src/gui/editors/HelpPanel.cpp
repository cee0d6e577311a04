#include "editors/HelpPanel.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace kav {

HelpPanel::HelpPanel(QPlainTextEdit& memo, std::span<const HelpText> texts)
    : QObject(&memo), memo_(memo), texts_(texts) {}

void HelpPanel::serveOnFocus(const std::vector<QWidget*>& controls) {
    for (QWidget* control : controls) {
        watch(control, Focus);
    }
}

void HelpPanel::serveOnHover(const std::vector<QWidget*>& controls) {
    for (QWidget* control : controls) {
        // Plain mouse moves reach a widget only while it tracks the mouse.
        control->setMouseTracking(true);
        watch(control, Hover);
    }
}

void HelpPanel::watch(QWidget* control, Trigger trigger) {
    auto& triggers = triggers_[control];
    if (triggers == 0) {
        control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this](QObject* gone) {
            triggers_.erase(gone);
            if (served_ == gone) {
                served_ = nullptr;
            }
        });
    }
    triggers |= trigger;
}

void HelpPanel::serve(const QObject* control) {
    if (control == served_) {
        return;
    }
    served_ = control;
    const QString name = control != nullptr ? control->objectName() : QString();
    const auto found = std::find_if(texts_.begin(), texts_.end(),
                                    [&](const HelpText& h) { return name == h.control; });
    if (found != texts_.end()) {
        memo_.setPlainText(found->text);
    } else {
        memo_.clear();
    }
}

namespace {

// Where the pointer is over a control, when the event says so.
std::optional<QPoint> pointerAt(const QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        return static_cast<const QMouseEvent*>(event)->position().toPoint();
    case QEvent::Enter:
        return static_cast<const QEnterEvent*>(event)->position().toPoint();
    default:
        return std::nullopt;
    }
}

} // namespace

bool HelpPanel::eventFilter(QObject* watched, QEvent* event) {
    const auto it = triggers_.find(watched);
    if (it == triggers_.end()) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn && (it->second & Focus) != 0) {
        serve(watched);
    } else if (const auto at = pointerAt(event); at && (it->second & Hover) != 0) {
        // A move the control under the pointer ignored travels on to its parents: only the
        // control under the pointer is served, as if the parents never saw it.
        if (static_cast<QWidget*>(watched)->childAt(*at) == nullptr) {
            serve(watched);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kav
