#pragma once

class Desk;

// The cash balance, the one record of Money, as the desk's cursor has it; changed by hand here
// and by every sale through the same cursor.
class CashBalance
{
public:
    explicit CashBalance(Desk &desk) : m_desk(desk) {}

    double balance() const;
    // Rereads the record; a failure is reported.
    bool refresh();
    // Adds the amount to the balance as it is stored now, then logs and saves; a failure is
    // reported and logged, and the balance stays.
    bool add(double amount);

private:
    Desk &m_desk;
};
