#pragma once

#include "data/database.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/deskbackups.h"
#include "desk/eventlog.h"
#include "desk/saletransaction.h"
#include "desk/salonschema.h"

class DeskReport;

// The desk's data: the connection, the cursors on the three tables (the receipts twice: one
// cursor browses, the other numbers the next receipt), the event log, the saver and the sale
// recorder. Every window works on these; none of them needs a window.
class Desk
{
public:
    explicit Desk(DeskReport &report);

    Database &database() { return m_database; }
    Table &tableMoney() { return m_tableMoney; }
    Table &tableSolars() { return m_tableSolars; }
    Table &tableSaleSolars() { return m_tableSaleSolars; }
    Table &tableSaleSolarsCalc() { return m_tableSaleSolarsCalc; }
    EventLog &eventLog() { return m_eventLog; }
    DatabaseSaver &databaseSaver() { return m_saver; }
    SaleRecorder &saleRecorder() { return m_saleRecorder; }
    DeskBackups &backups() { return m_backups; }
    DeskReport &report() { return m_report; }

    // Opens the four cursors; false, with the engine's last error set, when one fails or the
    // cash balance is not exactly one record.
    bool openTables();
    void closeTables();

private:
    void installErrorHandlers(Table &table);
    bool moneyHasOneRecord();

    DeskReport &m_report;
    Database m_database{deskDatabaseSchema()};
    Table m_tableMoney;
    Table m_tableSolars;
    Table m_tableSaleSolars;
    Table m_tableSaleSolarsCalc;
    EventLog m_eventLog;
    DatabaseSaver m_saver;
    SaleRecorder m_saleRecorder;
    DeskBackups m_backups;
};
