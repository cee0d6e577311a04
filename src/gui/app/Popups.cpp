#include "Popups.h"

namespace kav::popups {

namespace {

Script* active = nullptr; // the test script in force, if any

QMessageBox::Icon iconOf(Kind kind) {
    switch (kind) {
    case Kind::Warning:
        return QMessageBox::Warning;
    case Kind::Question:
        return QMessageBox::Question;
    case Kind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

bool show(QWidget* parent, Kind kind, const QString& text, const QString& caption,
          bool withCancel) {
    if (active != nullptr) {
        active->shown.push_back({kind, text, caption});
        if (!withCancel) {
            return true;
        }
        const bool ok = active->answers.empty() ? false : active->answers.front();
        if (!active->answers.empty()) {
            active->answers.pop_front();
        }
        return ok;
    }
    QMessageBox box(iconOf(kind), caption, text,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent);
    return box.exec() == QMessageBox::Ok;
}

} // namespace

Script::Script() {
    active = this;
}

Script::~Script() {
    active = nullptr;
}

void warn(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, Kind::Warning, text, caption, false);
}

void inform(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, Kind::Plain, text, caption, false);
}

bool ask(QWidget* parent, const QString& text, const QString& caption, Kind icon) {
    return show(parent, icon, text, caption, true);
}

} // namespace kav::popups
