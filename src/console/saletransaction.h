#pragma once

#include <QtGlobal>

class Database;
class DatabaseSaver;
class EventLog;
class Table;

// One stopped run, as the desk records it.
struct Sale
{
    int unit = 0;
    bool stoppedEarly = false;
    bool keepReceipt = true; // a numbered receipt; otherwise a line of the sales journal
    double total = 0;        // the amount paid, as the stop dialog showed it
    int seconds = 0;         // the time actually used
    int discount = 0;        // percent
    double minutePrice = 0;  // before the discount
    int taxRate = 0;         // VAT percent at the moment of the sale
};

// Stores a sale in one transaction over the three tables: the receipt (or the journal line),
// the unit's counters and the cash balance; all of it or, on any failure, none of it.
class SaleRecorder
{
public:
    SaleRecorder(Database &database, Table &money, Table &solars, Table &saleSolars,
                 Table &receiptNumbers, EventLog &log, DatabaseSaver &saver);

    bool SaleSolarTransaction(const Sale &sale);

private:
    bool writeSale(const Sale &sale, qint64 paragon, bool *started);
    qint64 nextReceiptNumber();

    Database &m_database;
    Table &m_tableMoney;
    Table &m_tableSolars;
    Table &m_tableSaleSolars;
    Table &m_tableSaleSolarsCalc;
    EventLog &m_log;
    DatabaseSaver &m_saver;
};
