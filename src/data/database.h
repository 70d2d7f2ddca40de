#pragma once

#include "core/engineconfig.h"
#include "data/databaseschema.h"
#include "data/engineerror.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class EngineLocks;
class SqlConnection;
class Table;

// The connection to the database of an alias: the table files of its schema in the alias
// directory, opened as one SQLite connection (the first file as main, the others attached under
// their table names) so that one transaction spans them all atomically. Table objects and
// queries work through it.
//
//     Database database(schema);
//     if (!database.connect())          // alias "Velmora" from engine.conf
//         ShowDatabaseError(false);     // Engine::lastError() tells why
//
// Every failing call returns false and sets Engine::lastError().
class Database : public QObject
{
    Q_OBJECT

public:
    explicit Database(DatabaseSchema schema, QObject *parent = nullptr);
    ~Database() override;

    // Connects to the directory registered for the alias (net directory from engine.conf).
    bool connect(const QString &alias = EngineConfig::AliasName);
    // Connects to a directory directly; an empty net directory means the data directory. Only
    // the directories are checked here: the table files open with the first table or query that
    // needs them, so the start-up's maintenance can repair or restore them first.
    bool connectDirectory(const QString &directory, const QString &netDirectory = QString());
    // Closes every table object on the database, then the files; rolls back an open transaction.
    void disconnect();
    bool isConnected() const;
    // Opens the table files unless they are open; a missing, damaged or locked file fails here.
    // Stale super-journals of earlier crashes are removed first.
    bool openFiles();
    // Opens the one table file, whether or not the others can be had: a table is worked on
    // while another file is held by another program or damaged. A file that failed is tried
    // again at the next call; the first file only while no table is open.
    bool openFile(const QString &tableFile);

    QString directory() const { return m_directory; }              // the alias directory
    QString netDirectory() const { return m_netDirectory; }        // where "PDOXUSRS.NET" lives
    QStringList tableFiles() const { return m_schema.tableFiles; } // "Money.DB", ...

    // One transaction over all tables (BEGIN IMMEDIATE): either all its writes reach the files
    // or none. A rollback makes every open table re-read its current record.
    bool startTransaction();
    bool commit();
    bool rollback();
    bool inTransaction() const;

    bool hasOpenTables() const;
    // Puts a complete new file in place of a table's file, the old one's journal removed first;
    // the files reopen with the next use.
    bool replaceTableFile(const QString &tableFile, const QString &newFile, EngineError *error);

    // Engine-internal access for Table, Query and TableModel.
    SqlConnection *connection() const { return m_connection.get(); }
    EngineLocks *locks() const { return m_locks.get(); }
    void registerTable(Table *table);
    void unregisterTable(Table *table);

signals:
    void disconnected();

private:
    bool fail(const EngineError &error);
    bool openConnection();
    // SQLite reads the structure of every file it holds before any statement: a file that can
    // no longer be read (another program locks it, it was damaged) is left out, so that the
    // others can still be worked on, while none of its tables is open and no transaction runs.
    bool keepReadableFiles();
    bool hasOpenTableOn(const QString &tableFile) const;

    std::unique_ptr<SqlConnection> m_connection;
    std::unique_ptr<EngineLocks> m_locks;
    QString m_directory;
    QString m_netDirectory;
    DatabaseSchema m_schema;
    bool m_connected = false;
    QList<QPointer<Table>> m_tables;
};
