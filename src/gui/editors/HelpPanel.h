#pragma once

#include <QObject>
#include <map>
#include <span>
#include <vector>

class QPlainTextEdit;
class QWidget;

namespace kav {

// One line of an editor's help table: a control's object name and the text shown for it.
struct HelpText {
    const char* control;
    const char* text;
};

// The read-only help box at the foot of an editor. It shows the help text of the control last
// entered (keyboard focus) or pointed at (mouse), looked up by object name in the editor's
// table; a control the table does not name clears the box. Serving the control served last
// does nothing, so moving the mouse over a control does not redraw its text.
class HelpPanel : public QObject {
    Q_OBJECT

public:
    // `texts` must outlive the panel (the editors pass static tables).
    HelpPanel(QPlainTextEdit& memo, std::span<const HelpText> texts);

    // The controls whose focus, or whose pointing at, brings up their text.
    void serveOnFocus(const std::vector<QWidget*>& controls);
    void serveOnHover(const std::vector<QWidget*>& controls);

    // Another table from now on (an editor whose texts depend on what it shows).
    void setTexts(std::span<const HelpText> texts) {
        texts_ = texts;
        served_ = nullptr;
    }

    // Shows the text for `control` unless it was served last.
    void serve(const QObject* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Trigger : unsigned { Focus = 1, Hover = 2 };
    void watch(QWidget* control, Trigger trigger);

    QPlainTextEdit& memo_;
    std::span<const HelpText> texts_;
    std::map<const QObject*, unsigned> triggers_;
    const QObject* served_ = nullptr;
};

} // namespace kav
