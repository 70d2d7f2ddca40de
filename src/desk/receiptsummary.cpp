#include "desk/receiptsummary.h"

#include "data/tablefilesummary.h"
#include "desk/salonschema.h"

ReceiptSummary summarizeReceipts(const QString &folder)
{
    const TableDefinition &sales = saleSolarsTable();
    const TableFileSummary file = summarizeTableFile(
        folder, sales.fileName(), SaleSolarsField::Paragon,
        {*sales.field(SaleSolarsField::Date), *sales.field(SaleSolarsField::Time)});
    ReceiptSummary summary;
    summary.readable = file.readable;
    summary.error = file.error.message;
    summary.count = file.count;
    if (!file.last.isEmpty())
        summary.last = QDateTime(file.last.at(0).toDate(), file.last.at(1).toTime());
    return summary;
}
