#include "console/cashbalanceeditor.h"

#include "console/formmoney.h"
#include "users/access.h"

CashBalanceEditor::CashBalanceEditor(Desk &desk, const UserRegister &users)
    : m_balance(desk), m_users(users)
{}

void CashBalanceEditor::run(QWidget *parent)
{
    TFormMoney dialog(
        m_users.names(), [this] { return m_balance.balance(); }, parent);
    if (!m_balance.refresh())
        return;
    // The row is not held in edit mode while the dialog is open: the sales recorded meanwhile
    // post to the same row.
    do {
        if (dialog.exec() != QDialog::Accepted)
            return;
    } while (!CheckPassword(m_users, dialog.userName(), dialog.password(), RightSpecial));
    m_balance.add(dialog.amount());
}
