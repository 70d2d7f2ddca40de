#include "desk/receiptdeletion.h"

#include "core/clock.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "desk/salonrecords.h"
#include "desk/transactionlog.h"

bool deleteCurrentReceipt(Desk &desk, const QString &user)
{
    Table &sales = desk.tableSaleSolars();
    const qint64 startTick = programClock().tickCount();
    const ReceiptRecord receipt = ReceiptRecord::of(sales.record());
    if (!sales.hasCurrentRecord() || !sales.deleteRecord()) {
        TransactionLog::TransactionError(desk.eventLog(), TransactionLog::ReceiptDeletionName);
        desk.report().databaseError();
        return false;
    }
    TransactionLog::receiptDeleted(desk.eventLog(), startTick, receipt.paragon, receipt.priceTotal,
                                   user);
    desk.databaseSaver().SaveDatabase({&sales});
    return true;
}
