#include "reports/receiptprinting.h"

#include "data/table.h"
#include "desk/settings/printsettings.h"
#include "reports/formqrsalesolara5.h"
#include "reports/reportpreview.h"
#include "reports/reportprinting.h"

ReceiptTexts receiptTextsOf(const PrintSettings &settings)
{
    return {settings.addressLines(), settings.titleLines(), settings.infoLines()};
}

ReceiptPrinting::ReceiptPrinting(Table &saleSolars, const PrintSettings &settings,
                                 TCustomQRPreviewInterface &preview)
    : m_saleSolars(saleSolars), m_settings(settings), m_preview(preview)
{}

void ReceiptPrinting::PrintReceipt(Mode mode)
{
    // The receipt's record stays current while the preview is open; the grids that show the
    // cursor catch up once afterwards.
    m_saleSolars.disableControls();
    const PageStore receipt = TFormQRSaleSolarA5(m_saleSolars, receiptTextsOf(m_settings)).layOut();
    if (mode == Mode::Preview)
        m_preview.preview(receipt);
    else
        ReportPrinting::printOnDefaultPrinter(receipt);
    m_saleSolars.enableControls();
}

void ReceiptPrinting::printAfterRun()
{
    PrintReceipt(m_settings.manualPrinting() ? Mode::Preview : Mode::Print);
}
