#pragma once

#include "sim/VirtualRadio.h"

#include <QString>
#include <QTemporaryDir>

namespace kav {

// The demo: a virtual QM2200 on COM1 through a private ports folder, with settings of its
// own, so a newcomer can try every workflow without a radio and without touching the real
// settings.
class DemoRadio {
public:
    DemoRadio();

    // False with a reason when the virtual radio or its folder cannot be set up.
    bool start(QString& error);
    // The settings file the demo runs with: COM1, and its own image as the default file.
    QString settingsFile() const { return dir_.filePath("QM2200.conf"); }
    // The private ports folder whose COM1 leads to the virtual radio.
    QString portsDir() const { return dir_.filePath("ports"); }
    // The recent-file list of the demo, kept apart from the program's own.
    QString recentFile() const { return dir_.filePath("kavprog.ini"); }
    // The demo's folder, removed when the program ends.
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    VirtualRadio radio_;
};

} // namespace kav
