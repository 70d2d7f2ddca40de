#pragma once

#include "desk/cashbalance.h"

class Desk;
class QWidget;
class UserRegister;

// Deposits into or withdraws from the cash balance by hand. The change is authorised in the
// dialog itself, by the built-in administrator or a registered user holding "!!!", whoever is
// logged in; it is posted, logged and saved like every other change made at the desk.
class CashBalanceEditor
{
public:
    CashBalanceEditor(Desk &desk, const UserRegister &users);

    // Shows the dialog until an authorised "Ok" or until it is closed otherwise; an authorised
    // amount is added to the balance.
    void run(QWidget *parent);

private:
    CashBalance m_balance;
    const UserRegister &m_users;
};
