#include "desk/settings/loginsettingsstore.h"

LoginSettingsStore::LoginSettingsStore(const QString &fileName)
    : SettingsStore(QStringLiteral("User"), fileName)
{
    addText(ComboBoxUser, QString());
}
