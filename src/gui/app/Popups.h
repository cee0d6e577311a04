#pragma once

#include <QMessageBox>
#include <QString>
#include <deque>
#include <vector>

class QWidget;

namespace kav {

// Every message box and question of the program goes through here, so tests can answer a
// popup in advance instead of blocking on it.
namespace popups {

enum class Kind { Warning, Question, Plain };

// Exclamation icon, OK.
void warn(QWidget* parent, const QString& text, const QString& caption);
// OK only, no icon.
void inform(QWidget* parent, const QString& text, const QString& caption);
// OK and Cancel with the given icon; true for OK.
bool ask(QWidget* parent, const QString& text, const QString& caption, Kind icon);

// Test hook: while answers are queued, popups are recorded and answered from the queue
// (true = OK) instead of being shown; warnings and notices take no answer.
struct Shown {
    Kind kind;
    QString text;
    QString caption;
};
class Script {
public:
    Script();
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    void answer(bool ok) { answers.push_back(ok); }
    std::deque<bool> answers;
    std::vector<Shown> shown;
};

} // namespace popups
} // namespace kav
