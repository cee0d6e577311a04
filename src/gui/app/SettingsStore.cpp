#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace kav {

namespace {

constexpr const char* kOrganisation = "Kav";
constexpr const char* kApplication = "QM2200";
constexpr const char* kRecentSection = "RecentMemFiles";

std::unique_ptr<QSettings> userSettings(const QString& file) {
    if (file.isEmpty()) {
        return std::make_unique<QSettings>(kOrganisation, kApplication);
    }
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

std::optional<long long> number(const QSettings& s, const char* key) {
    if (!s.contains(key)) {
        return std::nullopt;
    }
    bool ok = false;
    const long long value = s.value(key).toLongLong(&ok);
    return ok ? std::optional<long long>(value) : std::nullopt;
}

} // namespace

QString recentListFile(const QString& executable, const QString& configFolder) {
    const QFileInfo exe(executable);
    const QString name = exe.completeBaseName() + ".ini";
    if (QFileInfo(exe.absolutePath()).isWritable()) {
        return exe.absolutePath() + "/" + name;
    }
    QDir().mkpath(configFolder + "/" + kOrganisation);
    return configFolder + "/" + kOrganisation + "/" + name;
}

SettingsStore::SettingsStore(QString userFile, QString iniFile)
    : userFile_(std::move(userFile)),
      iniFile_(iniFile.isEmpty() ? recentListFile(QCoreApplication::applicationFilePath(),
                                                  QStandardPaths::writableLocation(
                                                      QStandardPaths::GenericConfigLocation))
                                 : std::move(iniFile)) {}

PersistedSettings SettingsStore::load(std::uint32_t buildModelMask) const {
    const auto s = userSettings(userFile_);
    StoredSettings stored;
    stored.comPort = number(*s, "ComPort");
    stored.maxBaudRate = number(*s, "MaxBdRate");
    if (s->contains("DefaultFile")) {
        stored.defaultFileName = s->value("DefaultFile").toString().toStdString();
    }
    return applySettingLimits(stored, buildModelMask);
}

void SettingsStore::save(const PersistedSettings& settings) const {
    const auto s = userSettings(userFile_);
    s->setValue("ComPort", settings.comPort);
    s->setValue("MaxBdRate", settings.maxBaudRate);
    s->setValue("DefaultFile", QString::fromStdString(settings.defaultFileName));
}

RecentFiles SettingsStore::loadRecent() const {
    QSettings ini(iniFile_, QSettings::IniFormat);
    ini.beginGroup(kRecentSection);
    RecentFiles entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = ini.value(QString("File%1").arg(i)).toString().toStdString();
    }
    return trimRecentFiles(entries);
}

void SettingsStore::saveRecent(const RecentFiles& entries) const {
    QSettings ini(iniFile_, QSettings::IniFormat);
    ini.beginGroup(kRecentSection);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ini.setValue(QString("File%1").arg(i), QString::fromStdString(entries[i]));
    }
}

} // namespace kav
