#pragma once

// Engine-internal: the one SQLite connection behind a Database, its prepared-statement cache
// and the mapping of table files to SQLite schemas.

#include "data/databaseschema.h"
#include "data/engineerror.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement in use: bound, stepped, and reset again when it goes out of scope, so a
// cached statement never stays active (VACUUM, DROP TABLE and other programs rely on that).
class SqlStatement
{
public:
    SqlStatement() = default;
    SqlStatement(sqlite3_stmt *statement, bool owned);
    SqlStatement(SqlStatement &&other) noexcept;
    SqlStatement &operator=(SqlStatement &&other) noexcept;
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;
    ~SqlStatement();

    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt *handle() const { return m_statement; }
    sqlite3_stmt *take() { return std::exchange(m_statement, nullptr); } // caller owns it now

    // Binds values from the first parameter on: integers, reals, texts; null as SQL NULL.
    int bind(const QVariantList &values, int firstIndex = 1);
    int step();
    void reset();
    int columnCount() const;
    QVariant column(int index) const; // qint64, double, QString, QByteArray or null
    QString columnName(int index) const;
    QString columnDeclaredType(int index) const;
    // The table and its column that a result column is read from; empty for computed columns.
    QString columnOriginTable(int index) const;
    QString columnOriginColumn(int index) const;

private:
    void release();

    sqlite3_stmt *m_statement = nullptr;
    bool m_owned = false;
};

// The engine's Czech text for an SQLite result code, such as "Disk je plný".
QString czechResultText(int resultCode);

class SqlConnection
{
public:
    SqlConnection() = default;
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;
    ~SqlConnection();

    // Opens the first file as main and attaches the others under their table names, all with a
    // rollback journal and full sync so that one transaction is atomic across the files. A file
    // that cannot be opened (missing, damaged, held by another program) is left out with its
    // error, so that the others can still be worked on; without the first one, main is an empty
    // database in memory. False only when no connection can be had at all.
    bool open(const QString &directory, const QStringList &tableFiles, EngineError *error);
    // The application's SQL functions that the next open() registers; they must outlive the
    // connection.
    void setFunctions(const QList<SqlFunction> &functions) { m_functions = &functions; }
    // Tries a file that was left out again. Not the first one: it can only be main, which needs
    // a new connection.
    bool attach(const QString &tableFile, EngineError *error);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool holds(const QString &tableFile) const { return !schemaOf(tableFile).isEmpty(); }
    // Why a file was left out.
    EngineError failureOf(const QString &tableFile) const;
    // SQLite reads the structure of every held file before any statement: a file that another
    // program locks, or that was damaged, after it was attached keeps every statement out.
    bool structureReadable(EngineError *error);
    // The held files, by upper-cased name, that cannot be read on their own now, with why.
    QHash<QString, EngineError> unreadableFiles() const;
    // Leaves an attached file out (not main), keeping why.
    void leaveOut(const QString &tableFile, const EngineError &why);
    sqlite3 *handle() const { return m_db; }

    // Cached statement; invalid with *error set when the SQL does not compile.
    SqlStatement prepare(const QString &sql, EngineError *error);
    // A statement of its own (for long-lived result sets), finalized with the SqlStatement.
    SqlStatement prepareOwned(const QString &sql, EngineError *error, QString *tail = nullptr);
    bool exec(const QString &sql, const QVariantList &values, EngineError *error);
    void clearCache();

    EngineError errorFor(int resultCode) const;
    static EngineError errorOf(sqlite3 *db, int resultCode);

    bool inTransaction() const;

    QString schemaOf(const QString &tableFileName) const;       // "main" or the table name; empty
    QString qualifiedTable(const QString &tableFileName) const; // "schema"."Table"
    QString filePath(const QString &tableFileName) const;
    // Whether the table's file is protected (enciphered with the table password).
    bool isProtected(const QString &tableFileName) const;
    // Each file has a large page cache; SQLite's small default suits work that reads each page
    // once.
    void setLargeCache(const QString &tableFileName, bool large);
    // Reserved bytes per page that the table's next VACUUM gives its file (never fewer than now).
    void requestReservedBytes(const QString &tableFileName, int bytes);
    QString directory() const { return m_directory; }

    // Changes whenever the schema's data may have changed, by this connection or another.
    quint64 changeStamp(const QString &schema);
    // Rows changed by this connection so far: cheap, no file-system calls.
    quint64 ownChangeCount() const;

private:
    bool openMain(EngineError *error);
    bool openHandle(const QByteArray &name, int flags, EngineError *error);
    // The journal, sync and cache settings of an attached or main file; they read its header,
    // so a damaged or locked file fails here.
    bool prepareSchema(const QString &schema, EngineError *error);
    bool attachAs(const QString &tableFile, const QString &schema, EngineError *error);
    // The error of a file, named in its text; a missing file is told as such.
    EngineError fileError(const QString &tableFile, const EngineError &error) const;

    sqlite3 *m_db = nullptr;
    QString m_directory;
    QStringList m_files;                   // every table file, held or left out
    QString m_mainFile;                    // the file that main may be, whether or not it opened
    QHash<QString, QString> m_schemas;     // upper-cased file name -> schema name
    QHash<QString, QString> m_tables;      // upper-cased file name -> table name
    QHash<QString, EngineError> m_leftOut; // upper-cased file name -> why
    QHash<QString, sqlite3_stmt *> m_cache;
    const QList<SqlFunction> *m_functions = nullptr;
};

// Table name of a table file: "SaleSolars.DB" -> "SaleSolars".
QString tableNameOfFile(const QString &tableFileName);
