#include "editors/Squelch.h"

#include "editors/EditorWidgets.h"
#include "editors/UpDown.h"
#include "workflow/AppContext.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr int kEditWidth = 40;

// An edit for whole numbers with its spin buttons beside it.
UpDown* addSpinEdit(QWidget* parent, QHBoxLayout& row, QLineEdit*& edit, const char* editName,
                    const char* spinName, int minimum, int maximum, int step) {
    edit = newEdit(parent, editName);
    edit->setFixedWidth(kEditWidth);
    edit->setValidator(new QIntValidator(0, maximum, edit));
    auto* spin = new UpDown(*edit, parent);
    spin->setObjectName(spinName);
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    row.setSpacing(0);
    row.addWidget(edit);
    row.addWidget(spin);
    return spin;
}

} // namespace

TfrmSquelch::TfrmSquelch(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("TfrmSquelch");
    setWindowTitle("Squelch");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* groups = new QHBoxLayout;
    groups->setSpacing(6);
    groups->addWidget(createLevelGroup());
    groups->addWidget(createTimingGroup(), 1);
    layout->addLayout(groups, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = newButton(this, "btnOK", "OK");
    ok->setDefault(true);
    QPushButton* cancel = newButton(this, "btnCancel", "Cancel");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TfrmSquelch::btnOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(QSize(kClientWidth, kClientHeight).expandedTo(minimumSizeHint()));
}

QGroupBox* TfrmSquelch::createLevelGroup() {
    gbSquelchLevel_ = newGroupBox(this, "gbSquelchLevel", "Squelch Level");
    auto* row = new QHBoxLayout(gbSquelchLevel_);
    row->addWidget(newLabel(gbSquelchLevel_, "lblSql", "SQL"));
    auto* spinRow = new QHBoxLayout;
    udSqlLevel_ =
        addSpinEdit(gbSquelchLevel_, *spinRow, editSqlLevel_, "editSqlLevel", "udSqlLevel",
                    SquelchSettings::kMinLevel, SquelchSettings::kMaxLevel, 1);
    row->addLayout(spinRow);
    row->addStretch();
    udSqlLevel_->setPosition(1);
    return gbSquelchLevel_;
}

QGroupBox* TfrmSquelch::createTimingGroup() {
    QGroupBox* group = newGroupBox(this, "GroupBox1", "Squelch Timing");
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(4);
    const auto addRow = [&](int row, const char* caption, QLineEdit*& edit, const char* editName,
                            const char* spinName, int maximum, int step) {
        grid->addWidget(newLabel(group, QString(editName) + "Label", caption), row, 0);
        auto* cell = new QHBoxLayout;
        UpDown* spin = addSpinEdit(group, *cell, edit, editName, spinName, 0, maximum, step);
        cell->addSpacing(4);
        cell->addWidget(newLabel(group, QString(editName) + "Unit", "(ms)"));
        cell->addStretch();
        grid->addLayout(cell, row, 1);
        return spin;
    };
    udMuteDebounce_ = addRow(0, "Mute Open Debounce Time:", editMuteDebounce_, "editMuteDebounce",
                             "udMuteDebounce", SquelchSettings::kMaxDebounceMs, 1);
    udMuteOpen_ = addRow(1, "Minimum Mute Open Time:", editMuteOpen_, "editMuteOpen", "udMuteOpen",
                         SquelchSettings::kMaxMinOpenMs, SquelchSettings::kMinOpenStepMs);
    return group;
}

void TfrmSquelch::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmSquelch::FormShow() {
    loaded_ = SquelchSettings::load(ctx_.image(), ctx_.models(), ctx_.config());
    gbSquelchLevel_->setVisible(loaded_.levelShown);
    udSqlLevel_->setPosition(loaded_.level);
    udMuteDebounce_->setPosition(loaded_.debounceMs);
    udMuteOpen_->setPosition(loaded_.minOpenMs);
}

void TfrmSquelch::btnOKClick() {
    // Numbers typed into the edits count as if the spin buttons had set them.
    for (UpDown* spin : {udSqlLevel_, udMuteDebounce_, udMuteOpen_}) {
        spin->takeBuddyText();
    }
    SquelchSettings s = loaded_;
    s.level = udSqlLevel_->position();
    s.debounceMs = udMuteDebounce_->position();
    s.minOpenMs = udMuteOpen_->position();
    store(s, ctx_.image(), ctx_.models());
    accept();
}

} // namespace kav
