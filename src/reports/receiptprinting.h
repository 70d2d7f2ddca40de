#pragma once

#include "reports/formqrsalesolara5.h"

class PrintSettings;
class Table;
class TCustomQRPreviewInterface;

// The salon's texts that head every report, as the print settings hold them.
ReceiptTexts receiptTextsOf(const PrintSettings &settings);

// Prints the receipt the sales cursor stands on: into the preview, where the user may print it,
// or straight onto the default printer.
class ReceiptPrinting
{
public:
    enum class Mode { Preview, Print };

    ReceiptPrinting(Table &saleSolars, const PrintSettings &settings,
                    TCustomQRPreviewInterface &preview);

    // In preview mode returns when the preview has been closed.
    void PrintReceipt(Mode mode);
    // After a run: the mode the print settings choose.
    void printAfterRun();

private:
    Table &m_saleSolars;
    const PrintSettings &m_settings;
    TCustomQRPreviewInterface &m_preview;
};
