#pragma once

#include "desk/desk.h"
#include "desk/settings/backupsettingsstore.h"
#include "desk/settings/databasesettingsstore.h"
#include "desk/settings/loginsettingsstore.h"
#include "desk/settings/printsettingsstore.h"
#include "desk/settings/solarsettingsstore.h"
#include "desk/solarruns.h"
#include "users/userregister.h"

#include <QList>

// One run of the desk without its windows: the desk's data and runs, the user register, and the
// settings of every section of the configuration file. The start-up builds it first; the main
// window and every window it opens work on it.
//
// The runs read the solarium settings, the backups the backup settings, the saver the database
// settings. At the end each section read since its last write is written once more, in the order
// of the settings windows: solarium, print, backup, database.
class DeskSession
{
public:
    explicit DeskSession(DeskReport &report);
    ~DeskSession();
    DeskSession(const DeskSession &) = delete;
    DeskSession &operator=(const DeskSession &) = delete;

    Desk &desk() { return m_desk; }
    SolarRuns &runs() { return m_runs; }
    UserRegister &users() { return m_users; }
    const UserRegister &users() const { return m_users; }
    // "Velmora.usr" in the database folder.
    static QString usersFileName();

    SolarSettingsStore &solarStore() { return m_solarStore; }
    PrintSettingsStore &printStore() { return m_printStore; }
    BackupSettingsStore &backupStore() { return m_backupStore; }
    DatabaseSettingsStore &databaseStore() { return m_databaseStore; }
    LoginSettingsStore &loginStore() { return m_loginStore; }

    // The settings the runs, the rows and the sale work with: the solarium store unless replaced.
    const SolarSettings &solarSettings() const { return *m_solarSettings; }
    void setSolarSettings(const SolarSettings *settings); // nullptr: the store

    // Reads the sections of the settings windows; each one that cannot be read keeps its
    // defaults and gives its failure, in the windows' order.
    QList<ConfigError> loadSettings();

private:
    QList<SettingsStore *> windowStores();

    Desk m_desk;
    SolarRuns m_runs;
    UserRegister m_users;
    SolarSettingsStore m_solarStore;
    PrintSettingsStore m_printStore;
    BackupSettingsStore m_backupStore;
    DatabaseSettingsStore m_databaseStore;
    LoginSettingsStore m_loginStore;
    const SolarSettings *m_solarSettings = &m_solarStore;
};
