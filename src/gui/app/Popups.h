#pragma once

#include <QMessageBox>
#include <QString>
#include <deque>
#include <vector>

class QPrinter;
class QWidget;

namespace kav {

// Every message box, question and file dialog of the program goes through here, so tests can
// answer a popup in advance instead of blocking on it.
namespace popups {

enum class Kind { Warning, Question, Plain, OpenFile, SaveFile, Print };

// Exclamation icon, OK.
void warn(QWidget* parent, const QString& text, const QString& caption);
// OK only, no icon.
void inform(QWidget* parent, const QString& text, const QString& caption);
// OK and Cancel with the given icon; true for OK.
bool ask(QWidget* parent, const QString& text, const QString& caption, Kind icon);

// A file dialog for an existing file to open or a name to save under (`suffix` added when the
// name has none; the caller asks before overwriting). "" when cancelled.
struct FileDialog {
    bool save = false;
    QString title;
    QString filter;
    QString initial;
    QString suffix = "mem";
};
QString chooseFile(QWidget* parent, const FileDialog& dialog);

// The print dialog over `printer`: the system's printers and printing to a PDF file, which
// starts as `pdfFile` when there is no printer. False when cancelled.
bool choosePrinter(QWidget* parent, QPrinter& printer, const QString& pdfFile);

// Test hook: while a script is in force, popups are recorded and answered from it instead of
// being shown: questions from answer() (true = OK, none left = Cancel), file dialogs from
// nextFile() (none left = cancelled), the print dialog from nextFile() too (printing to that
// PDF file); warnings and notices take no answer. Scripts nest: the
// one made last is in force until it ends, then the one before it again.
struct Shown {
    Kind kind;
    QString text; // a file or print dialog's title
    QString caption;
    QString initial = {}; // where a file dialog starts
};
class Script {
public:
    Script();
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    void answer(bool ok) { answers.push_back(ok); }
    void nextFile(const QString& path) { files.push_back(path); }
    std::deque<bool> answers;
    std::deque<QString> files;
    std::vector<Shown> shown;

private:
    Script* previous_;
};

} // namespace popups
} // namespace kav
