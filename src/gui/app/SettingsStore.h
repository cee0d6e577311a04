#pragma once

#include "workflow/Settings.h"

#include <QString>

namespace kav {

// Where the settings live: the per-user store ("Kav"/"QM2200": ComPort, MaxBdRate,
// DefaultFile) and the ini file with the recent-file list.
class SettingsStore {
public:
    // Empty arguments mean the program's own places.
    explicit SettingsStore(QString userFile = {}, QString iniFile = {});

    PersistedSettings load(std::uint32_t buildModelMask) const;
    void save(const PersistedSettings& settings) const;

    RecentFiles loadRecent() const;
    void saveRecent(const RecentFiles& entries) const;

    const QString& iniFile() const { return iniFile_; }

private:
    QString userFile_;
    QString iniFile_;
};

// The recent-file list: "<name>.ini" beside the executable when its folder is writable (a
// build, a copy on a service laptop), else in "<configFolder>/Kav" (an installed program).
QString recentListFile(const QString& executable, const QString& configFolder);

} // namespace kav
