#pragma once

#include <QString>
#include <QStringList>

// The desk's working settings as the console, the run dialogs and the sale read them. The
// solarium settings window holds the values; until it is built the defaults apply.
class SolarSettings
{
public:
    virtual ~SolarSettings() = default;

    virtual QStringList discounts() const = 0;   // offered discounts, ascending
    virtual QString defaultDiscount() const = 0; // one of them, or empty
    virtual int taxRate() const = 0;             // VAT in whole percent
    virtual QString portText() const = 0;        // hexadecimal port address
    virtual bool recordAllReceipts() const = 0;  // "Evidovat všechny doklady"
    virtual bool useDialogs() const = 0;         // "Dialog okny"
};
