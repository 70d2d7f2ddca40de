#pragma once

class DatabaseSaver;
class EventLog;
class QWidget;
class Table;
class UserRegister;

// Deposits into or withdraws from the cash balance by hand. The change is authorised in the
// dialog itself, by the built-in administrator or a registered user holding "!!!", whoever is
// logged in; it is posted, logged and saved like every other change made at the desk.
class CashBalanceEditor
{
public:
    CashBalanceEditor(Table &money, const UserRegister &users, EventLog &log, DatabaseSaver &saver);

    // Shows the dialog until an authorised "Ok" or until it is closed otherwise; an authorised
    // amount is added to the balance.
    void run(QWidget *parent);

private:
    // Adds the amount to the balance as it is stored now; a failure is reported and logged.
    void addToBalance(double amount);
    double balance() const;

    Table &m_tableMoney;
    const UserRegister &m_users;
    EventLog &m_log;
    DatabaseSaver &m_saver;
};
