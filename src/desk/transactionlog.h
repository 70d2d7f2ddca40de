#pragma once

#include <QString>

class EventLog;

// The event-log lines of database changes made at the desk: each records the change's name or
// unit and the milliseconds since its start tick (programClock().tickCount()).
namespace TransactionLog {

inline const QString ReceiptDeletionName = QStringLiteral("Smazání dokladu");

void TransactionMoneyOk(EventLog &log, const QString &name, qint64 startTick, double amount);
void TransactionSolarOk(EventLog &log, const QString &name, qint64 startTick, int number);
void TransactionError(EventLog &log, const QString &name);
// A sale; the receipt number only when the sale was kept as a receipt.
void TransactionSaleSolarsOk(EventLog &log, int unit, qint64 startTick, bool receipt,
                             qint64 paragon);
void TransactionSaleSolarsError(EventLog &log, int unit);
// After the error line: the figures of the sale that was not stored, so it can be booked by hand.
void saleNotStored(EventLog &log, int unit, int seconds, double minutePrice, int discount,
                   double total, const QString &user);
// A receipt deleted in the sales browser, with its figures and the user who deleted it.
void receiptDeleted(EventLog &log, qint64 startTick, qint64 paragon, double total,
                    const QString &user);
// A statement of the SQL console that may have changed the database: the rows it changed, the
// statement on one line (cut after 100 characters) and the user.
void sqlStatementRun(EventLog &log, qint64 startTick, qint64 changedRows, const QString &statement,
                     const QString &user);
// Once, when a unit's count of runs reaches the most its field holds.
void startupsAtMaximum(EventLog &log, int unit, int maximum);

} // namespace TransactionLog
