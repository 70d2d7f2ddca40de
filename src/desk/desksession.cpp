#include "desk/desksession.h"

#include "core/paths.h"
#include "core/programvalues.h"

DeskSession::DeskSession(DeskReport &report) : m_desk(report), m_runs(m_desk)
{
    m_runs.setSettings(m_solarSettings);
    m_desk.backups().setSettings(&m_backupStore);
    m_desk.databaseSaver().setEnabledSource([this] { return m_databaseStore.saveImmediately(); });
}

DeskSession::~DeskSession()
{
    for (SettingsStore *store : windowStores())
        store->writeIfReadSinceWrite();
}

QString DeskSession::usersFileName()
{
    return JoinPath(Program().DatabaseDir, QStringLiteral("Velmora.usr"));
}

void DeskSession::setSolarSettings(const SolarSettings *settings)
{
    m_solarSettings = settings ? settings : &m_solarStore;
    m_runs.setSettings(m_solarSettings);
}

QList<SettingsStore *> DeskSession::windowStores()
{
    return {&m_solarStore, &m_printStore, &m_backupStore, &m_databaseStore};
}

QList<ConfigError> DeskSession::loadSettings()
{
    QList<ConfigError> failures;
    for (SettingsStore *store : windowStores()) {
        ConfigError error;
        if (!store->read(&error))
            failures.append(error);
    }
    return failures;
}
