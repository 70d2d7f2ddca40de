#include "startup/processhooks.h"

#include "data/engineerror.h"
#include "portio/portaddress.h"
#include "settings/formsetupsolar.h"
#include "ui/common/messagedialogs.h"
#include "ui/config/windowstore.h"

#include <QPointer>

ProcessHooks::ProcessHooks()
{
    setDatabaseErrorSource([] {
        const EngineError error = Engine::lastError();
        return DatabaseError{error.code, error.message};
    });
    WindowStore::setErrorReport(
        [](const ConfigError &error) { ShowWarning(error.message, error.detail); });
}

ProcessHooks::~ProcessHooks()
{
    setPortTextSource({});
    WindowStore::setErrorReport({});
    setDatabaseErrorSource({});
}

void ProcessHooks::useStoredPort()
{
    setPortTextSource([stored = TFormSetupSolar::storedPortText()] { return stored; });
}

void ProcessHooks::followSettings(TFormSetupSolar *settings)
{
    // The window goes with the console; the switch-off at the very end still needs an address.
    setPortTextSource(
        [window = QPointer<TFormSetupSolar>(settings), last = settings->portText()]() mutable {
            if (window)
                last = window->portText();
            return last;
        });
}
