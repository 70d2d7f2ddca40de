#include "desk/settings/databasesettingsstore.h"

DatabaseSettingsStore::DatabaseSettingsStore(const QString &fileName)
    : SettingsStore(QStringLiteral("Database"), fileName)
{
    addChecked(CheckBoxDeleteFiles, false);
    addChecked(CheckBoxCreateIndex, false);
    addChecked(CheckBoxRegenerationIndex, true);
    addChecked(CheckBoxPackTable, true);
    addChecked(CheckBoxWait, false);
    addChecked(CheckBoxSave, true);
    addChecked(CheckBoxSecured, false);
    addChecked(CheckBoxSales, false);
    addValue(IntegerEditSales, 0, 0, MaxDays);
}
