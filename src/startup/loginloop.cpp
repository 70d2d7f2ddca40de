#include "startup/loginloop.h"

#include "core/programvalues.h"
#include "desk/eventlog.h"
#include "desk/settings/loginsettingsstore.h"
#include "startup/forminitialization.h"
#include "userdialogs/formlogin.h"
#include "users/access.h"

bool runLoginLoop(const UserRegister &users, LoginSettingsStore &store, EventLog &log)
{
    AddProgress(QStringLiteral("Přihlášení uživatele"));
    TFormLogin dialog;
    dialog.prepare(users);
    if (!users.isEmpty()) {
        // The last login name, where one is stored.
        store.setLastUser(dialog.userName());
        store.read();
        dialog.setUserName(store.lastUser());
    }
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return false;
        if (CheckPassword(users, dialog.userName(), dialog.password()))
            break;
        dialog.retryPassword();
    }
    Program().CurrentUser = dialog.userName();
    store.setLastUser(dialog.userName());
    ConfigError error;
    if (!store.write(&error))
        SettingsStore::report(error); // warned as a settings window's failed write is
    ProgressOk();
    log.AddLog(QStringLiteral("Přihlášen uživatel: [%1]").arg(Program().CurrentUser));
    return true;
}
