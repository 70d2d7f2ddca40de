#include "console/cashbalance.h"

#include "console/formmoney.h"
#include "core/clock.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/transactionlog.h"
#include "ui/common/messagedialogs.h"
#include "users/access.h"

namespace {

const QString TransactionName = QStringLiteral("Editace hotovosti");
const QString MoneyField = QStringLiteral("MONEY");

} // namespace

CashBalanceEditor::CashBalanceEditor(Table &money, const UserRegister &users, EventLog &log,
                                     DatabaseSaver &saver)
    : m_tableMoney(money), m_users(users), m_log(log), m_saver(saver)
{}

void CashBalanceEditor::run(QWidget *parent)
{
    TFormMoney dialog(
        m_users.names(), [this] { return balance(); }, parent);
    if (!m_tableMoney.refresh()) {
        ShowDatabaseError(false); // nothing was changed: there is nothing to log
        return;
    }
    // The row is not held in edit mode while the dialog is open: the sales recorded meanwhile
    // post to the same row.
    do {
        if (dialog.exec() != QDialog::Accepted)
            return;
    } while (!CheckPassword(m_users, dialog.userName(), dialog.password(), RightSpecial));
    addToBalance(dialog.amount());
}

void CashBalanceEditor::addToBalance(double amount)
{
    const qint64 startTick = programClock().tickCount();
    // edit() reads the row as it is stored now, with any sale recorded since the dialog opened.
    const bool posted = m_tableMoney.edit() &&
                        m_tableMoney.setValue(MoneyField, balance() + amount) &&
                        m_tableMoney.post();
    if (!posted) {
        m_tableMoney.cancel();
        ShowDatabaseError(false);
        TransactionLog::TransactionError(m_log, TransactionName);
        return;
    }
    TransactionLog::TransactionMoneyOk(m_log, TransactionName, startTick, amount);
    m_saver.SaveDatabase({&m_tableMoney});
}

// The cursor's row; every sale posts through the same cursor, so it is current.
double CashBalanceEditor::balance() const
{
    return m_tableMoney.value(MoneyField).toDouble();
}
