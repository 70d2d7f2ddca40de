#include "desk/receiptdeletion.h"

#include "core/clock.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "desk/transactionlog.h"

bool deleteCurrentReceipt(Desk &desk, const QString &user)
{
    Table &sales = desk.tableSaleSolars();
    const qint64 startTick = programClock().tickCount();
    const qint64 paragon = sales.value(QStringLiteral("PARAGON")).toLongLong();
    const double total = sales.value(QStringLiteral("PRICE_TOTAL")).toDouble();
    if (!sales.hasCurrentRecord() || !sales.deleteRecord()) {
        TransactionLog::TransactionError(desk.eventLog(), TransactionLog::ReceiptDeletionName);
        desk.report().databaseError();
        return false;
    }
    TransactionLog::receiptDeleted(desk.eventLog(), startTick, paragon, total, user);
    desk.databaseSaver().SaveDatabase({&sales});
    return true;
}
