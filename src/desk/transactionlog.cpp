#include "desk/transactionlog.h"

#include "core/clock.h"
#include "core/czechformat.h"
#include "desk/eventlog.h"

namespace TransactionLog {

namespace {

QString elapsedSince(qint64 startTick)
{
    return QString::number(programClock().tickCount() - startTick);
}

} // namespace

void TransactionMoneyOk(EventLog &log, const QString &name, qint64 startTick, double amount)
{
    log.AddLog(QStringLiteral("Transakce [%1]: OK [%2 ms] [%3]")
                   .arg(name, elapsedSince(startTick), CzechFormat::money(amount)));
}

void TransactionSolarOk(EventLog &log, const QString &name, qint64 startTick, int number)
{
    log.AddLog(QStringLiteral("Transakce [%1]: OK [%2 ms] [%3]")
                   .arg(name, elapsedSince(startTick), QString::number(number)));
}

void TransactionError(EventLog &log, const QString &name)
{
    log.AddLog(QStringLiteral("Transakce [%1]: CHYBA").arg(name));
}

void TransactionSaleSolarsOk(EventLog &log, int unit, qint64 startTick, bool receipt,
                             qint64 paragon)
{
    log.AddLog(QStringLiteral("Transakce solárko[%1]: OK [%2 ms] [%3]")
                   .arg(QString::number(unit), elapsedSince(startTick),
                        receipt ? CzechFormat::receiptNumber(paragon) : QStringLiteral("-")));
}

void TransactionSaleSolarsError(EventLog &log, int unit)
{
    log.AddLog(QStringLiteral("Transakce [%1]: CHYBA").arg(unit));
}

void saleNotStored(EventLog &log, int unit, int seconds, double minutePrice, int discount,
                   double total, const QString &user)
{
    log.AddLog(QStringLiteral("Neuložený prodej solárko[%1]: %2 s, cena %3/min, sleva %4 %, "
                              "celkem %5, uživatel [%6]")
                   .arg(QString::number(unit), QString::number(seconds),
                        CzechFormat::money(minutePrice), QString::number(discount),
                        CzechFormat::money(total), user));
}

void receiptDeleted(EventLog &log, qint64 startTick, qint64 paragon, double total,
                    const QString &user)
{
    log.AddLog(QStringLiteral("Transakce [%1]: OK [%2 ms] [%3] [%4] [%5]")
                   .arg(ReceiptDeletionName, elapsedSince(startTick),
                        CzechFormat::receiptNumber(paragon), CzechFormat::money(total), user));
}

void sqlStatementRun(EventLog &log, qint64 startTick, qint64 changedRows, const QString &statement,
                     const QString &user)
{
    constexpr int Longest = 100;
    QString oneLine = statement.simplified();
    if (oneLine.size() > Longest)
        oneLine = oneLine.left(Longest) + QStringLiteral("...");
    log.AddLog(QStringLiteral("Transakce [SQL]: OK [%1 ms] [změněno záznamů: %2] [%3] [%4]")
                   .arg(elapsedSince(startTick), QString::number(changedRows), oneLine, user));
}

void startupsAtMaximum(EventLog &log, int unit, int maximum)
{
    log.AddLog(QStringLiteral("Počet startů solárka [%1] dosáhl maxima %2 a dál se nezvyšuje")
                   .arg(unit)
                   .arg(maximum));
}

} // namespace TransactionLog
