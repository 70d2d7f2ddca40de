#include "desk/cashbalance.h"

#include "core/clock.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "desk/transactionlog.h"

namespace {

const QString TransactionName = QStringLiteral("Editace hotovosti");
const QString MoneyField = QStringLiteral("MONEY");

} // namespace

double CashBalance::balance() const
{
    return m_desk.tableMoney().value(MoneyField).toDouble();
}

bool CashBalance::refresh()
{
    if (m_desk.tableMoney().refresh())
        return true;
    m_desk.report().databaseError(); // nothing was changed: there is nothing to log
    return false;
}

bool CashBalance::add(double amount)
{
    Table &money = m_desk.tableMoney();
    const qint64 startTick = programClock().tickCount();
    // edit() reads the row as it is stored now, with any sale recorded since it was last read.
    const bool posted =
        money.edit() && money.setValue(MoneyField, balance() + amount) && money.post();
    if (!posted) {
        money.cancel();
        m_desk.report().databaseError();
        TransactionLog::TransactionError(m_desk.eventLog(), TransactionName);
        return false;
    }
    TransactionLog::TransactionMoneyOk(m_desk.eventLog(), TransactionName, startTick, amount);
    m_desk.databaseSaver().SaveDatabase({&money});
    return true;
}
