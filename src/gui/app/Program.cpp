#include "app/Program.h"

#include "app/DemoRadio.h"
#include "app/Main.h"
#include "app/Popups.h"
#include "app/SingleInstance.h"
#include "link/Com_port.h"
#include "workflow/CommandLine.h"
#include "workflow/ReadHistory.h"
#include "workflow/Version.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kav {

namespace {

// --help and --version print and end before any window, setting or port is touched.
std::optional<int> printIfAsked(int argc, char** argv, const BuildConfig& config) {
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string program =
        argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "kavprog";
    switch (printRequested(arguments)) {
    case PrintRequest::Help:
        std::fputs(windowProgramHelp(program).c_str(), stdout);
        return 0;
    case PrintRequest::Version:
        std::printf("%s\n", versionLine(program, config).c_str());
        return 0;
    case PrintRequest::None:
        break;
    }
    return std::nullopt;
}

} // namespace

int runProgram(int argc, char** argv, const BuildConfig& config, const ProgramOptions& options) {
    if (const auto printed = printIfAsked(argc, argv, config)) {
        return *printed;
    }
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
        // Whatever else keeps user settings (the file dialogs' history) keeps them there too.
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, demoRadio->folder());
        }
        settings = SettingsStore(demoRadio->settingsFile(), demoRadio->recentFile());
        ports.portsDir = demoRadio->portsDir().toStdString();
    }

    const int advanced = advancedModeRequested(arguments) || config.engineeringBuild == 1 ? 1 : 0;
    AppContext context(config, advanced, ports);
    if (!demo) {
        context.setHistoryFolder(historyFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    }
    TfrmMain window(context, settings);
    if (demoRadio) {
        window.setDemo(demoRadio->folder());
    }
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
