#include "desk/saletransaction.h"

#include "core/clock.h"
#include "core/programvalues.h"
#include "data/database.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/heldtableerrors.h"
#include "desk/salesjournal.h"
#include "desk/salonrecords.h"
#include "desk/salonschema.h"
#include "desk/transactionlog.h"

#include <algorithm>

namespace {

QString sellerOf(const Sale &sale)
{
    return sale.user.isEmpty() ? Program().CurrentUser : sale.user;
}

} // namespace

SaleRecorder::SaleRecorder(Database &database, Table &money, Table &solars, Table &saleSolars,
                           Table &receiptNumbers, EventLog &log, DatabaseSaver &saver,
                           FailureReport reportFailure)
    : m_database(database), m_tableMoney(money), m_tableSolars(solars),
      m_tableSaleSolars(saleSolars), m_tableSaleSolarsCalc(receiptNumbers), m_log(log),
      m_saver(saver), m_reportFailure(std::move(reportFailure))
{}

bool SaleRecorder::SaleSolarTransaction(const Sale &sale)
{
    // No grid redraws and no calculated fields while the sale writes.
    m_tableSolars.disableControls();
    m_tableSaleSolars.disableControls();
    m_tableSaleSolars.setAutoCalcFields(false);
    const qint64 startTick = programClock().tickCount();
    HeldTableErrors heldErrors(tables());

    bool started = false;
    bool startupsReachMaximum = false;
    const qint64 paragon = nextReceiptNumber();
    const bool stored = paragon > 0 && writeSale(sale, paragon, &started, &startupsReachMaximum);
    const EngineError error = Engine::lastError();
    if (stored) {
        TransactionLog::TransactionSaleSolarsOk(
            m_log, sale.unit, startTick, sale.keepReceipt,
            m_tableSaleSolars.value(SaleSolarsField::Paragon).toLongLong());
        if (startupsReachMaximum)
            TransactionLog::startupsAtMaximum(m_log, sale.unit, MaxStartups);
    } else {
        abandon(started);
    }

    m_tableSolars.enableControls();
    m_tableSaleSolars.setAutoCalcFields(true);
    m_tableSaleSolars.enableControls();
    if (stored) {
        m_saver.SaveDatabase({&m_tableMoney, &m_tableSolars, &m_tableSaleSolars});
        return true;
    }
    TransactionLog::TransactionSaleSolarsError(m_log, sale.unit);
    TransactionLog::saleNotStored(m_log, sale.unit, sale.seconds, sale.minutePrice, sale.discount,
                                  sale.total, sellerOf(sale));
    // Only now, with nothing left open, may the messages run their modal loops.
    heldErrors.release();
    Engine::setLastError(error);
    if (m_reportFailure)
        m_reportFailure();
    return false;
}

QList<Table *> SaleRecorder::tables() const
{
    return {&m_tableMoney, &m_tableSolars, &m_tableSaleSolars, &m_tableSaleSolarsCalc};
}

// Drops every pending change, then the transaction, which makes every table re-read its
// record: a table left in edit mode would post its rolled-back change with the next sale.
void SaleRecorder::abandon(bool started)
{
    for (Table *table : tables())
        table->cancel();
    if (started)
        m_database.rollback();
}

// The highest receipt number plus one, whatever order the browser has set; 0 on failure.
qint64 SaleRecorder::nextReceiptNumber()
{
    if (!m_tableSaleSolarsCalc.last())
        return m_tableSaleSolarsCalc.isEmpty() ? 1 : 0;
    return m_tableSaleSolarsCalc.value(SaleSolarsField::Paragon).toLongLong() + 1;
}

bool SaleRecorder::writeSale(const Sale &sale, qint64 paragon, bool *started,
                             bool *startupsReachMaximum)
{
    if (!m_database.startTransaction())
        return false;
    *started = true;

    const QDateTime now = programClock().now();
    if (sale.keepReceipt) {
        const QTime time(now.time().hour(), now.time().minute(), now.time().second());
        ReceiptRecord receipt;
        receipt.paragon = paragon;
        receipt.date = now.date();
        receipt.time = time;
        receipt.solar = sale.unit;
        receipt.stop = sale.stoppedEarly;
        receipt.tax = sale.taxRate;
        receipt.price = sale.minutePrice;
        receipt.off = sale.discount;
        receipt.period = sale.seconds;
        receipt.user = sellerOf(sale);
        if (!m_tableSaleSolars.append(receipt.storedValues()))
            return false;
    } else {
        const QString line = SalesJournal::formatLine(now, sale.unit, sale.minutePrice,
                                                      sale.discount, sale.seconds, sellerOf(sale));
        const FileResult written = SalesJournal::append(line);
        if (!written.ok()) {
            // Reported like the engine's errors, so the failure shows what went wrong.
            Engine::setLastError(EngineError(EngineErrorCode::FileError, written.message));
            return false;
        }
    }

    // A unit without its record still sells; only its counters cannot grow.
    if (locateUnit(m_tableSolars, sale.unit)) {
        if (!m_tableSolars.edit())
            return false;
        // The count of runs is 16-bit: a unit that has run that often keeps selling, its count
        // stays at the maximum.
        const UnitRecord before = UnitRecord::of(m_tableSolars.record());
        UnitRecord after = before;
        after.counter += sale.seconds;
        after.startup = std::min(before.startup + 1, MaxStartups);
        *startupsReachMaximum = before.startup < MaxStartups && after.startup == MaxStartups;
        if (!after.writeChanges(m_tableSolars, before) || !m_tableSolars.post())
            return false;
    }

    if (!addToCashBalance(m_tableMoney, sale.total))
        return false;

    return m_database.commit();
}
