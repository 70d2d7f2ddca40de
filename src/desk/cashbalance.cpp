#include "desk/cashbalance.h"

#include "core/clock.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "desk/salonrecords.h"
#include "desk/transactionlog.h"

namespace {

const QString TransactionName = QStringLiteral("Editace hotovosti");

} // namespace

double CashBalance::balance() const
{
    return cashBalanceOf(m_desk.tableMoney());
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
    if (!addToCashBalance(money, amount)) {
        money.cancel();
        m_desk.report().databaseError();
        TransactionLog::TransactionError(m_desk.eventLog(), TransactionName);
        return false;
    }
    TransactionLog::TransactionMoneyOk(m_desk.eventLog(), TransactionName, startTick, amount);
    m_desk.databaseSaver().SaveDatabase({&money});
    return true;
}
