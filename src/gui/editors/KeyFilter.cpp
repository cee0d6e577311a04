#include "editors/KeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace kav {

KeyFilter::KeyFilter(QLineEdit& edit, Rule rule) : QObject(&edit), rule_(std::move(rule)) {}

KeyFilter* KeyFilter::install(QLineEdit& edit, Rule rule) {
    auto* filter = new KeyFilter(edit, std::move(rule));
    edit.installEventFilter(filter);
    edit.setContextMenuPolicy(Qt::NoContextMenu); // no Paste from the menu
    edit.setAcceptDrops(false);
    return filter;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || resending_) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste)) {
        return true;
    }
    const QString text = key->text();
    if (text.size() != 1 || !text.at(0).isPrint()) {
        return QObject::eventFilter(watched, event);
    }
    const std::optional<QChar> typed = rule_(text.at(0));
    if (!typed) {
        return true;
    }
    if (*typed == text.at(0)) {
        return QObject::eventFilter(watched, event);
    }
    // The edit handles the changed key as if it had been typed, mask and cursor included.
    QKeyEvent changed(QEvent::KeyPress, key->key(), key->modifiers(), QString(*typed));
    resending_ = true;
    QCoreApplication::sendEvent(watched, &changed);
    resending_ = false;
    return true;
}

namespace keys {

namespace {

std::optional<QChar> upperIf(QChar typed, bool (*allowed)(QChar)) {
    const QChar upper = typed.toUpper();
    return allowed(upper) ? std::optional<QChar>(upper) : std::nullopt;
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isLetter(QChar c) {
    return c >= u'A' && c <= u'Z';
}

} // namespace

std::optional<QChar> digit(QChar typed) {
    return isDigit(typed) ? std::optional<QChar>(typed) : std::nullopt;
}

std::optional<QChar> digitOrBlank(QChar typed) {
    return isDigit(typed) || typed == u' ' ? std::optional<QChar>(typed) : std::nullopt;
}

std::optional<QChar> radioName(QChar typed) {
    return upperIf(typed,
                   [](QChar c) { return isDigit(c) || isLetter(c) || c == u'-' || c == u' '; });
}

std::optional<QChar> selcallCode(QChar typed) {
    return upperIf(typed,
                   [](QChar c) { return isDigit(c) || c == u'A' || c == u'F' || c == u' '; });
}

std::optional<QChar> selcallName(QChar typed) {
    return upperIf(typed, [](QChar c) {
        return isDigit(c) || isLetter(c) || c == u'-' || c == u'*' || c == u'_' || c == u' ';
    });
}

} // namespace keys

} // namespace kav
