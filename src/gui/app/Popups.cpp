#include "app/Popups.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

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
    case Kind::OpenFile:
    case Kind::SaveFile:
    case Kind::Print:
        break;
    }
    return QMessageBox::NoIcon;
}

template <typename T> T takeFirst(std::deque<T>& queue, T whenEmpty) {
    if (queue.empty()) {
        return whenEmpty;
    }
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
}

bool show(QWidget* parent, Kind kind, const QString& text, const QString& caption,
          bool withCancel) {
    if (active != nullptr) {
        active->shown.push_back({kind, text, caption});
        return !withCancel || takeFirst(active->answers, false);
    }
    QMessageBox box(iconOf(kind), caption, text,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent);
    return box.exec() == QMessageBox::Ok;
}

} // namespace

Script::Script() : previous_(active) {
    active = this;
}

Script::~Script() {
    active = previous_;
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

QString chooseFile(QWidget* parent, const FileDialog& dialog) {
    if (active != nullptr) {
        active->shown.push_back({dialog.save ? Kind::SaveFile : Kind::OpenFile, dialog.title,
                                 QString(), dialog.initial});
        return takeFirst(active->files, QString());
    }
    QFileDialog box(parent, dialog.title, dialog.initial, dialog.filter);
    if (dialog.save) {
        box.setAcceptMode(QFileDialog::AcceptSave);
        box.setDefaultSuffix(dialog.suffix);
        box.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        box.setFileMode(QFileDialog::ExistingFile);
    }
    return box.exec() == QDialog::Accepted ? box.selectedFiles().value(0) : QString();
}

bool choosePrinter(QWidget* parent, QPrinter& printer, const QString& pdfFile) {
    if (active != nullptr) {
        active->shown.push_back({Kind::Print, "Print", QString()});
        const QString path = takeFirst(active->files, QString());
        if (path.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    }
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer.setOutputFileName(pdfFile);
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kav::popups
