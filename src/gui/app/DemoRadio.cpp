#include "app/DemoRadio.h"

#include "sim/DemoImage.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace kav {

DemoRadio::DemoRadio() : radio_(0x2200) {}

bool DemoRadio::start(QString& error) {
    if (!dir_.isValid()) {
        error = "no temporary folder";
        return false;
    }
    radio_.update([](CommandResponder& r) {
        r.eeprom() = demoImage();
        // A signal at the antenna, slightly off frequency, for the alignment's procedures.
        constexpr int kCarrier = 0x20;
        constexpr int kRxOffsetAddress = 27; // "Rx ADC Offset" of the QM2200
        r.state().status = kCarrier;
        r.state().frequencyError = -180;
        r.state().frequencyErrorOffsetAddress = kRxOffsetAddress;
    });
    if (!radio_.start()) {
        error = "no pseudo-terminal for the virtual radio";
        return false;
    }
    const QString ports = portsDir();
    if (!QDir().mkpath(ports) ||
        !QFile::link(QString::fromStdString(radio_.slavePath()), ports + "/COM1")) {
        error = "cannot link COM1 to the virtual radio";
        return false;
    }

    const QString image = dir_.filePath("defqm2200.mem");
    if (demoImage().saveToFile(image.toStdString()) < 0) {
        error = "cannot write the demo configuration";
        return false;
    }
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue("ComPort", 1);
    settings.setValue("MaxBdRate", 9600);
    settings.setValue("DefaultFile", image);
    return true;
}

} // namespace kav
