#include "startup/loginloop.h"

#include "core/programvalues.h"
#include "desk/eventlog.h"
#include "startup/forminitialization.h"
#include "ui/config/settingsstore.h"
#include "userdialogs/formlogin.h"
#include "users/access.h"

bool runLoginLoop(const UserRegister &users, EventLog &log)
{
    AddProgress(QStringLiteral("Přihlášení uživatele"));
    TFormLogin dialog;
    dialog.prepare(users);
    SettingsStore store(&dialog, QStringLiteral("User"), {QStringLiteral("ComboBoxUser.Text")},
                        false);
    if (!users.isEmpty())
        store.read(); // the last login name
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return false;
        if (CheckPassword(users, dialog.userName(), dialog.password()))
            break;
        dialog.retryPassword();
    }
    Program().CurrentUser = dialog.userName();
    ConfigError error;
    if (!store.write(&error))
        WindowStore::report(error); // warned as a settings window's failed write is
    ProgressOk();
    log.AddLog(QStringLiteral("Přihlášen uživatel: [%1]").arg(Program().CurrentUser));
    return true;
}
