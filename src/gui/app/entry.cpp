#include "app/Main.h"
#include "workflow/Statusbar.h"

#include <QApplication>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(kav::applicationTitle()));
#ifdef KAV_ENGINEERING_BUILD
    const kav::BuildConfig config = kav::BuildConfig::engineering();
#else
    const kav::BuildConfig config = kav::BuildConfig::delivered();
#endif
    const std::vector<std::string> arguments(argv, argv + argc);
    kav::TfrmMain window(config, kav::advancedModeRequested(arguments));
    window.show();
    return QApplication::exec();
}
