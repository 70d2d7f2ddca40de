#pragma once

#include <QString>

// Where and when the desk backs its tables up. The backup settings window holds the values.
class BackupSettings
{
public:
    virtual ~BackupSettings() = default;

    virtual bool hourlyBackups() const = 0;      // "Zálohovat každou hodinu do adresáře"
    virtual QString hourlyDirectory() const = 0; // and its directory
    virtual bool purgeOldBackups() const = 0;    // "Vymazat zálohy, jsou-li starší více jak"
    virtual int purgeAfterDays() const = 0;      // ... "dní"
    virtual bool dailyBackups() const = 0;       // "Zálohovat každý den do adresáře"
    virtual QString dailyDirectory() const = 0;  // and its directory
};
