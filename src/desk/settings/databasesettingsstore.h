#pragma once

#include "data/config/settingsstore.h"

// What the start-up does to the tables before the desk opens, whether every change is flushed to
// disk at once, the tables' protection and the purge of old receipts, kept in the section
// [Database]. They act at the next start, immediate saving at once.
class DatabaseSettingsStore : public SettingsStore
{
public:
    static constexpr QLatin1String CheckBoxDeleteFiles{"CheckBoxDeleteFiles_Checked"};
    static constexpr QLatin1String CheckBoxCreateIndex{"CheckBoxCreateIndex_Checked"};
    static constexpr QLatin1String CheckBoxRegenerationIndex{"CheckBoxRegenerationIndex_Checked"};
    static constexpr QLatin1String CheckBoxPackTable{"CheckBoxPackTable_Checked"};
    static constexpr QLatin1String CheckBoxWait{"CheckBoxWait_Checked"};
    static constexpr QLatin1String CheckBoxSave{"CheckBoxSave_Checked"};
    static constexpr QLatin1String CheckBoxSecured{"CheckBoxSecured_Checked"};
    static constexpr QLatin1String CheckBoxSales{"CheckBoxSales_Checked"};
    static constexpr QLatin1String IntegerEditSales{"IntegerEditSales_Value"};

    static constexpr int MaxDays = 9999;

    explicit DatabaseSettingsStore(const QString &fileName = defaultFileName());

    bool deleteControlFiles() const { return checked(CheckBoxDeleteFiles); }
    bool createIndexes() const { return checked(CheckBoxCreateIndex); }
    bool regenerateIndexes() const { return checked(CheckBoxRegenerationIndex); }
    bool packTables() const { return checked(CheckBoxPackTable); }
    bool waitAtStart() const { return checked(CheckBoxWait); }
    bool saveImmediately() const { return checked(CheckBoxSave); }
    bool secured() const { return checked(CheckBoxSecured); }
    bool purgeOldReceipts() const { return checked(CheckBoxSales); }
    int purgeReceiptsAfterDays() const { return value(IntegerEditSales); }
};
