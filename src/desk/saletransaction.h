#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <limits>

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
    QString user;            // who sold it; empty: the logged-in user
};

// Stores a sale in one transaction over the three tables: the receipt (or the journal line),
// the unit's counters and the cash balance; all of it or, on any failure, none of it.
class SaleRecorder
{
public:
    // Shows the user the engine's last error; the windows give ShowDatabaseError.
    using FailureReport = std::function<void()>;

    SaleRecorder(Database &database, Table &money, Table &solars, Table &saleSolars,
                 Table &receiptNumbers, EventLog &log, DatabaseSaver &saver,
                 FailureReport reportFailure);

    // The most runs a unit's STARTUP field holds; the count stays there.
    static constexpr int MaxStartups = std::numeric_limits<qint16>::max();

    // On failure the sale is rolled back before its messages are shown (the tables' handlers,
    // then the failure report), and its figures are logged after the error line.
    bool SaleSolarTransaction(const Sale &sale);

private:
    bool writeSale(const Sale &sale, qint64 paragon, bool *started, bool *startupsReachMaximum);
    qint64 nextReceiptNumber();
    QList<Table *> tables() const;
    void abandon(bool started);

    Database &m_database;
    Table &m_tableMoney;
    Table &m_tableSolars;
    Table &m_tableSaleSolars;
    Table &m_tableSaleSolarsCalc;
    EventLog &m_log;
    DatabaseSaver &m_saver;
    FailureReport m_reportFailure;
};
