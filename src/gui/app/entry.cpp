#include "app/Demo.h"
#include "app/Instance.h"
#include "app/Main.h"
#include "app/Popups.h"
#include "workflow/Statusbar.h"

#include <QApplication>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kInstanceName = "QM2200Mutex";
constexpr const char* kSimulateSwitch = "--simulate";

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString title = QString::fromStdString(kav::applicationTitle());
    QApplication::setApplicationName(title);
#ifdef KAV_ENGINEERING_BUILD
    const kav::BuildConfig config = kav::BuildConfig::engineering();
#else
    const kav::BuildConfig config = kav::BuildConfig::delivered();
#endif
    std::vector<std::string> arguments(argv, argv + argc);
    const auto simulate = std::find(arguments.begin(), arguments.end(), kSimulateSwitch);
    const bool demo = simulate != arguments.end();
    if (demo) {
        arguments.erase(simulate);
    }

    kav::SingleInstance instance(kInstanceName);
    if (!instance.acquire()) {
        kav::popups::inform(nullptr, "The program is already running", title);
        instance.askFirstToRaise();
        return 0;
    }

    std::unique_ptr<kav::DemoRadio> demoRadio;
    kav::SettingsStore settings;
    if (demo) {
        demoRadio = std::make_unique<kav::DemoRadio>();
        QString error;
        if (!demoRadio->start(error)) {
            kav::popups::warn(nullptr, "The demo could not start: " + error + ".", "Error");
            return 1;
        }
        settings = kav::SettingsStore(demoRadio->settingsFile());
    }

    const int advanced =
        kav::advancedModeRequested(arguments) || config.engineeringBuild == 1 ? 1 : 0;
    kav::AppContext context(config, advanced);
    kav::TfrmMain window(context, settings);
    QObject::connect(&instance, &kav::SingleInstance::raiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.startUp();
    window.show();
    return QApplication::exec();
}
