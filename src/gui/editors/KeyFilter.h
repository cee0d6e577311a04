#pragma once

#include <QChar>
#include <QObject>
#include <functional>
#include <optional>

class QLineEdit;

namespace kav {

// Filters what is typed into an edit. The rule maps each typed character to the character to
// insert (upper case for lower case, say) or to nothing, which drops the key. Keys that type
// no character (Backspace, Delete, the arrows, Enter, Escape, Tab) pass. Pasting and dropping
// text are refused, so only what the rule lets through ever reaches the edit; text set by the
// program is not filtered.
class KeyFilter : public QObject {
    Q_OBJECT

public:
    using Rule = std::function<std::optional<QChar>(QChar typed)>;

    // The filter belongs to `edit`.
    static KeyFilter* install(QLineEdit& edit, Rule rule);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyFilter(QLineEdit& edit, Rule rule);

    Rule rule_;
    bool resending_ = false;
};

// The rules of the editors.
namespace keys {
// "0"-"9" only.
std::optional<QChar> digit(QChar typed);
// "0"-"9" and the blank of an empty position.
std::optional<QChar> digitOrBlank(QChar typed);
// Upper case, then "0"-"9", "A"-"Z", "-" and blank: the name of the radio.
std::optional<QChar> radioName(QChar typed);
// Upper case, then "0"-"9", "A", "F" and blank: a selcall code.
std::optional<QChar> selcallCode(QChar typed);
// Upper case, then "0"-"9", "A"-"Z", "-", "*", "_" and blank: a selcall memory's name.
std::optional<QChar> selcallName(QChar typed);
} // namespace keys

} // namespace kav
