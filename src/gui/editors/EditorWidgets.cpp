#include "editors/EditorWidgets.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kav {

namespace {

constexpr int kChannelRows = 10;
constexpr int kChannelCount = 80;
constexpr int kHelpLines = 3;

template <typename T> T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

} // namespace

QCheckBox* newCheckBox(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QCheckBox(caption, parent), name);
}

QRadioButton* newRadioButton(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QRadioButton(caption, parent), name);
}

QLabel* newLabel(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QLabel(caption, parent), name);
}

QPushButton* newButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false); // Enter in an edit means OK, never this button
    return b;
}

QGroupBox* newGroupBox(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QGroupBox(caption, parent), name);
}

QLineEdit* newEdit(QWidget* parent, const QString& name) {
    return named(new QLineEdit(parent), name);
}

QComboBox* newDropDownList(QWidget* parent, const QString& name) {
    auto* list = named(new QComboBox(parent), name);
    list->setEditable(false);
    return list;
}

EditorFoot addEditorFoot(QDialog& dialog, QBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    auto* memo = named(new QPlainTextEdit(&dialog), "memoHelpText");
    memo->setReadOnly(true);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFixedHeight(
        memo->fontMetrics().lineSpacing() * kHelpLines +
        2 * (memo->frameWidth() + static_cast<int>(memo->document()->documentMargin())));
    auto* ok = named(new QPushButton("OK", &dialog), "OKBtn");
    ok->setDefault(true);
    auto* cancel = newButton(&dialog, "CancelBtn", "Cancel");
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    row->addWidget(memo, 1);
    row->addLayout(buttons);
    layout.addLayout(row);
    return {memo, ok, cancel};
}

std::vector<QCheckBox*> addChannelBoxes(QWidget* parent, QGridLayout& grid,
                                        const std::function<QString(int channel)>& name) {
    std::vector<QCheckBox*> boxes;
    grid.setVerticalSpacing(0); // ten rows of boxes read as a table
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        auto* box = new QCheckBox(QString::number(channel), parent);
        box->setObjectName(name(channel));
        grid.addWidget(box, (channel - 1) % kChannelRows, (channel - 1) / kChannelRows);
        boxes.push_back(box);
    }
    return boxes;
}

void setAll(const std::vector<QCheckBox*>& boxes, bool checked) {
    for (QCheckBox* box : boxes) {
        box->setChecked(checked);
    }
}

} // namespace kav
