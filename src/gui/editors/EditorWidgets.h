#pragma once

#include <QString>
#include <functional>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QDialog;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kav {

// Controls of the editors, each named with the object name the tests and help tables use.
QCheckBox* newCheckBox(QWidget* parent, const QString& name, const QString& caption);
QRadioButton* newRadioButton(QWidget* parent, const QString& name, const QString& caption);
QLabel* newLabel(QWidget* parent, const QString& name, const QString& caption);
QPushButton* newButton(QWidget* parent, const QString& name, const QString& caption);
QGroupBox* newGroupBox(QWidget* parent, const QString& name, const QString& caption);
QLineEdit* newEdit(QWidget* parent, const QString& name);
// A drop-down list: items to choose from, no typing.
QComboBox* newDropDownList(QWidget* parent, const QString& name);

// The foot of an editor: the help box `memoHelpText`, then `OKBtn` and `CancelBtn`. Cancel
// (and Escape) closes the dialog; OK is the default button and the caller connects it.
struct EditorFoot {
    QPlainTextEdit* memo;
    QPushButton* ok;
    QPushButton* cancel;
};
EditorFoot addEditorFoot(QDialog& dialog, QBoxLayout& layout);

// Check boxes for channels 1-80 captioned with their numbers, in 8 columns of 10 (channels
// 1-10 in the first), named name(channel); in channel order.
std::vector<QCheckBox*> addChannelBoxes(QWidget* parent, QGridLayout& grid,
                                        const std::function<QString(int channel)>& name);

// Every box ticked or cleared.
void setAll(const std::vector<QCheckBox*>& boxes, bool checked);

} // namespace kav
