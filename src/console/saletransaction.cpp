#include "console/saletransaction.h"

#include "console/databasesaver.h"
#include "console/salesjournal.h"
#include "console/transactionlog.h"
#include "core/clock.h"
#include "core/programvalues.h"
#include "data/database.h"
#include "data/table.h"
#include "ui/common/messagedialogs.h"

SaleRecorder::SaleRecorder(Database &database, Table &money, Table &solars, Table &saleSolars,
                           Table &receiptNumbers, EventLog &log, DatabaseSaver &saver)
    : m_database(database), m_tableMoney(money), m_tableSolars(solars),
      m_tableSaleSolars(saleSolars), m_tableSaleSolarsCalc(receiptNumbers), m_log(log),
      m_saver(saver)
{}

bool SaleRecorder::SaleSolarTransaction(const Sale &sale)
{
    // No grid redraws and no calculated fields while the sale writes.
    m_tableSolars.disableControls();
    m_tableSaleSolars.disableControls();
    m_tableSaleSolars.setAutoCalcFields(false);
    const qint64 startTick = programClock().tickCount();

    bool started = false;
    const qint64 paragon = nextReceiptNumber();
    const bool stored = paragon > 0 && writeSale(sale, paragon, &started);
    if (stored) {
        TransactionLog::TransactionSaleSolarsOk(
            m_log, sale.unit, startTick, sale.keepReceipt,
            m_tableSaleSolars.value(QStringLiteral("PARAGON")).toLongLong());
    } else {
        ShowDatabaseError(false);
        if (started)
            m_database.rollback();
        TransactionLog::TransactionSaleSolarsError(m_log, sale.unit);
    }

    m_tableSolars.enableControls();
    m_tableSaleSolars.setAutoCalcFields(true);
    m_tableSaleSolars.enableControls();
    if (stored)
        m_saver.SaveDatabase({&m_tableMoney, &m_tableSolars, &m_tableSaleSolars});
    return stored;
}

// The highest receipt number plus one, whatever order the browser has set; 0 on failure.
qint64 SaleRecorder::nextReceiptNumber()
{
    if (!m_tableSaleSolarsCalc.last())
        return m_tableSaleSolarsCalc.isEmpty() ? 1 : 0;
    return m_tableSaleSolarsCalc.value(QStringLiteral("PARAGON")).toLongLong() + 1;
}

bool SaleRecorder::writeSale(const Sale &sale, qint64 paragon, bool *started)
{
    if (!m_database.startTransaction())
        return false;
    *started = true;

    const QDateTime now = programClock().now();
    if (sale.keepReceipt) {
        const QTime time(now.time().hour(), now.time().minute(), now.time().second());
        if (!m_tableSaleSolars.append({paragon, now.date(), time, sale.unit, sale.stoppedEarly,
                                       sale.taxRate, sale.minutePrice, sale.discount, sale.seconds,
                                       Program().CurrentUser}))
            return false;
    } else {
        const QString line = SalesJournal::formatLine(
            now, sale.unit, sale.minutePrice, sale.discount, sale.seconds, Program().CurrentUser);
        const FileResult written = SalesJournal::append(line);
        if (!written.ok()) {
            // Reported like the engine's errors, so the failure shows what went wrong.
            Engine::setLastError(EngineError(EngineErrorCode::FileError, written.message));
            return false;
        }
    }

    // A unit without its record still sells; only its counters cannot grow.
    if (m_tableSolars.locate(QStringLiteral("SOLAR"), sale.unit)) {
        if (!m_tableSolars.edit() ||
            !m_tableSolars.setValue(QStringLiteral("COUNTER"),
                                    m_tableSolars.value(QStringLiteral("COUNTER")).toInt() +
                                        sale.seconds) ||
            !m_tableSolars.setValue(QStringLiteral("STARTUP"),
                                    m_tableSolars.value(QStringLiteral("STARTUP")).toInt() + 1) ||
            !m_tableSolars.post())
            return false;
    }

    if (!m_tableMoney.edit() ||
        !m_tableMoney.setValue(QStringLiteral("MONEY"),
                               m_tableMoney.value(QStringLiteral("MONEY")).toDouble() +
                                   sale.total) ||
        !m_tableMoney.post())
        return false;

    return m_database.commit();
}
