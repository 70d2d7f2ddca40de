#include "desk/settings/backupsettingsstore.h"

BackupSettingsStore::BackupSettingsStore(const QString &fileName)
    : SettingsStore(QStringLiteral("Backup"), fileName)
{
    addChecked(CheckBoxBackupTime, false);
    addText(EditBackupPathTime, QString());
    addChecked(CheckBoxBackupDelete, false);
    addValue(IntegerEditBackupDelete, 0, 0, MaxDays);
    addChecked(CheckBoxBackupDay, false);
    addText(EditBackupPathDay, QString());
}
