#include "startup/processhooks.h"

#include "core/solarsettings.h"
#include "data/config/settingsstore.h"
#include "data/engineerror.h"
#include "portio/portaddress.h"
#include "ui/common/messagedialogs.h"

ProcessHooks::ProcessHooks()
{
    setDatabaseErrorSource([] {
        const EngineError error = Engine::lastError();
        return DatabaseError{error.code, error.message};
    });
    SettingsStore::setErrorReport(
        [](const ConfigError &error) { ShowWarning(error.message, error.detail); });
}

ProcessHooks::~ProcessHooks()
{
    setPortTextSource({});
    SettingsStore::setErrorReport({});
    setDatabaseErrorSource({});
}

void ProcessHooks::followPort(const SolarSettings &settings)
{
    setPortTextSource([&settings] { return settings.portText(); });
}

void ProcessHooks::keepPort(const QString &portText)
{
    setPortTextSource([portText] { return portText; });
}
