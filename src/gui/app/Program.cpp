#include "app/Program.h"

#include "app/DemoRadio.h"
#include "app/Main.h"
#include "app/Popups.h"
#include "app/SingleInstance.h"
#include "link/Com_port.h"
#include "workflow/CommandLine.h"
#include "workflow/Version.h"

#include <QApplication>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

namespace kav {

int runProgram(int argc, char** argv, const BuildConfig& config, const ProgramOptions& options) {
    QApplication app(argc, argv);
    const QString title = QString::fromStdString(applicationTitle());
    QApplication::setApplicationName(title);
    std::vector<std::string> arguments(argv, argv + argc);
    const bool demo = takeSimulateSwitch(arguments);

    SingleInstance instance(options.instanceName);
    if (!instance.acquire()) {
        popups::inform(nullptr, "The program is already running", title);
        instance.askFirstToRaise();
        return 0;
    }

    // The environment is read once here; everything after takes the folder from the context.
    PortEnvironment ports = portEnvironment();
    std::unique_ptr<DemoRadio> demoRadio;
    SettingsStore settings;
    if (demo) {
        demoRadio = std::make_unique<DemoRadio>();
        QString error;
        if (!demoRadio->start(error)) {
            popups::warn(nullptr, "The demo could not start: " + error + ".", "Error");
            return 1;
        }
        settings = SettingsStore(demoRadio->settingsFile());
        ports.portsDir = demoRadio->portsDir().toStdString();
    }

    const int advanced = advancedModeRequested(arguments) || config.engineeringBuild == 1 ? 1 : 0;
    AppContext context(config, advanced, ports);
    TfrmMain window(context, settings);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.startUp();
    window.show();
    if (options.shown) {
        QTimer::singleShot(0, &window, [&window, &options] { options.shown(window); });
    }
    return QApplication::exec();
}

} // namespace kav
