#pragma once

#include "data/config/settingsstore.h"
#include "desk/backupsettings.h"

// Where and when the desk backs its tables up, kept in the section [Backup].
class BackupSettingsStore : public SettingsStore, public BackupSettings
{
public:
    static constexpr QLatin1String CheckBoxBackupTime{"CheckBoxBackupTime_Checked"};
    static constexpr QLatin1String EditBackupPathTime{"EditBackupPathTime_Text"};
    static constexpr QLatin1String CheckBoxBackupDelete{"CheckBoxBackupDelete_Checked"};
    static constexpr QLatin1String IntegerEditBackupDelete{"IntegerEditBackupDelete_Value"};
    static constexpr QLatin1String CheckBoxBackupDay{"CheckBoxBackupDay_Checked"};
    static constexpr QLatin1String EditBackupPathDay{"EditBackupPathDay_Text"};

    static constexpr int MaxDays = 9999;

    explicit BackupSettingsStore(const QString &fileName = defaultFileName());

    bool hourlyBackups() const override { return checked(CheckBoxBackupTime); }
    QString hourlyDirectory() const override { return text(EditBackupPathTime).trimmed(); }
    bool purgeOldBackups() const override { return checked(CheckBoxBackupDelete); }
    int purgeAfterDays() const override { return value(IntegerEditBackupDelete); }
    bool dailyBackups() const override { return checked(CheckBoxBackupDay); }
    QString dailyDirectory() const override { return text(EditBackupPathDay).trimmed(); }
};
