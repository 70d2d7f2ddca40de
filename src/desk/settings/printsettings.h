#pragma once

#include <QStringList>

// The receipt's print settings as the receipt and the console read them. The print settings
// store holds the values.
class PrintSettings
{
public:
    virtual ~PrintSettings() = default;

    virtual QStringList addressLines() const = 0; // printed top left
    virtual QStringList titleLines() const = 0;   // the header, printed top centre
    virtual QStringList infoLines() const = 0;    // printed top right
    // "Manuální tisk dokladů": a receipt after a run opens in the preview; otherwise it goes
    // straight to the printer.
    virtual bool manualPrinting() const = 0;
};
