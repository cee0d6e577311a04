#include "app/Main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(kav::applicationTitle()));
#ifdef KAV_ENGINEERING_BUILD
    const kav::BuildConfig config = kav::BuildConfig::engineering();
#else
    const kav::BuildConfig config = kav::BuildConfig::delivered();
#endif
    kav::TfrmMain window(config);
    window.show();
    return QApplication::exec();
}
