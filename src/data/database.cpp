#include "data/database.h"

#include "core/filesync.h"
#include "core/paths.h"
#include "data/internal/enginelocks.h"
#include "data/internal/sqlconnection.h"
#include "data/internal/superjournals.h"
#include "data/table.h"
#include "data/tablefilecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

Database::Database(DatabaseSchema schema, QObject *parent)
    : QObject(parent), m_connection(std::make_unique<SqlConnection>()),
      m_locks(std::make_unique<EngineLocks>()), m_schema(std::move(schema))
{
    m_connection->setFunctions(m_schema.functions);
}

Database::~Database()
{
    disconnect();
}

bool Database::fail(const EngineError &error)
{
    Engine::setLastError(error);
    return false;
}

bool Database::connect(const QString &alias)
{
    if (!EngineConfig::aliasExists(alias)) {
        return fail(EngineError(EngineErrorCode::AliasNotFound,
                                QStringLiteral("Alias %1 není zaregistrován").arg(alias)));
    }
    const QString directory = EngineConfig::aliasDirectory(alias);
    const QString netDirectory =
        alias == EngineConfig::AliasName ? EngineConfig::netDirectory() : directory;
    return connectDirectory(directory, netDirectory);
}

bool Database::connectDirectory(const QString &directory, const QString &netDirectory)
{
    disconnect();
    const QString net = netDirectory.isEmpty() ? directory : netDirectory;
    if (!QFileInfo(directory).isDir()) {
        return fail(EngineError(EngineErrorCode::DirectoryMissing,
                                QStringLiteral("Adresář databáze %1 neexistuje").arg(directory)));
    }
    if (!QFileInfo(net).isDir()) {
        return fail(EngineError(EngineErrorCode::DirectoryMissing,
                                QStringLiteral("Síťový adresář %1 neexistuje").arg(net)));
    }
    EngineError error;
    if (!m_locks->open(directory, net, &error))
        return fail(error);
    m_directory = directory;
    m_netDirectory = net;
    m_connected = true;
    return true;
}

bool Database::openFiles()
{
    // A copy: opening a file may hand the list to a new connection, and the names must outlive
    // that.
    const QStringList files = m_schema.tableFiles;
    return std::all_of(files.cbegin(), files.cend(),
                       [this](const QString &file) { return openFile(file); });
}

bool Database::openFile(const QString &tableFile)
{
    if (!isConnected())
        return fail(
            EngineError(EngineErrorCode::NotConnected, QStringLiteral("Databáze není připojena")));
    if (!m_schema.tableFiles.contains(tableFile, Qt::CaseInsensitive))
        return openFiles(); // the table then tells that it does not belong here
    if ((!m_connection->isOpen() && !openConnection()) || !keepReadableFiles())
        return false;
    if (m_connection->holds(tableFile))
        return true;
    EngineError error;
    if (tableFile.compare(m_schema.tableFiles.constFirst(), Qt::CaseInsensitive) != 0)
        return m_connection->attach(tableFile, &error) || fail(error);
    // Only a new connection can try the main file again.
    if (hasOpenTables() || m_connection->inTransaction())
        return fail(m_connection->failureOf(tableFile));
    return openConnection() && keepReadableFiles() &&
           (m_connection->holds(tableFile) || fail(m_connection->failureOf(tableFile)));
}

bool Database::openConnection()
{
    SuperJournals::removeStale(m_directory, m_schema.tableFiles);
    EngineError error;
    return m_connection->open(m_directory, m_schema.tableFiles, &error) || fail(error);
}

bool Database::keepReadableFiles()
{
    EngineError error;
    if (m_connection->structureReadable(&error))
        return true;
    if (m_connection->inTransaction())
        return fail(error);
    const QHash<QString, EngineError> unreadable = m_connection->unreadableFiles();
    for (auto it = unreadable.cbegin(); it != unreadable.cend(); ++it) {
        if (hasOpenTableOn(it.key()))
            return fail(it.value());
    }
    const QString mainFile = m_schema.tableFiles.constFirst().toUpper();
    if (unreadable.contains(mainFile)) {
        if (hasOpenTables())
            return fail(unreadable.value(mainFile));
        if (!openConnection()) // without it: main in memory
            return false;
    } else {
        for (auto it = unreadable.cbegin(); it != unreadable.cend(); ++it)
            m_connection->leaveOut(it.key(), it.value());
    }
    return m_connection->structureReadable(&error) || fail(error);
}

void Database::disconnect()
{
    if (!isConnected())
        return;
    for (const QPointer<Table> &table : std::as_const(m_tables)) {
        if (table)
            table->close();
    }
    if (m_connection->inTransaction()) {
        EngineError ignored;
        m_connection->exec(QStringLiteral("ROLLBACK"), {}, &ignored);
    }
    m_connection->close();
    m_locks->close();
    m_connected = false;
    m_directory.clear();
    m_netDirectory.clear();
    emit disconnected();
}

bool Database::isConnected() const
{
    return m_connected;
}

bool Database::startTransaction()
{
    if (!isConnected())
        return fail(
            EngineError(EngineErrorCode::NotConnected, QStringLiteral("Databáze není připojena")));
    if (m_connection->inTransaction())
        return fail(EngineError(EngineErrorCode::TransactionActive,
                                QStringLiteral("Transakce již probíhá")));
    if (!openFiles())
        return false;
    EngineError error;
    return m_connection->exec(QStringLiteral("BEGIN IMMEDIATE"), {}, &error) || fail(error);
}

bool Database::commit()
{
    if (!inTransaction())
        return fail(EngineError(EngineErrorCode::NoTransaction,
                                QStringLiteral("Žádná transakce neprobíhá")));
    EngineError error;
    return m_connection->exec(QStringLiteral("COMMIT"), {}, &error) || fail(error);
}

bool Database::rollback()
{
    if (!inTransaction())
        return fail(EngineError(EngineErrorCode::NoTransaction,
                                QStringLiteral("Žádná transakce neprobíhá")));
    EngineError error;
    const bool rolledBack = m_connection->exec(QStringLiteral("ROLLBACK"), {}, &error);
    // The tables' current records may have been written in the transaction.
    for (const QPointer<Table> &table : std::as_const(m_tables)) {
        if (table && table->isOpen())
            table->refresh();
    }
    return rolledBack || fail(error);
}

bool Database::inTransaction() const
{
    return m_connection->inTransaction();
}

bool Database::hasOpenTables() const
{
    return std::any_of(m_tables.cbegin(), m_tables.cend(),
                       [](const QPointer<Table> &table) { return table && table->isOpen(); });
}

bool Database::hasOpenTableOn(const QString &tableFile) const
{
    return std::any_of(m_tables.cbegin(), m_tables.cend(), [&](const QPointer<Table> &table) {
        return table && table->isOpen() &&
               table->fileName().compare(tableFile, Qt::CaseInsensitive) == 0;
    });
}

bool Database::replaceTableFile(const QString &tableFile, const QString &newFile,
                                EngineError *error)
{
    const QString path = JoinPath(m_directory, tableFile);
    m_connection->close(); // it must let go of the old file before the new one takes its name
    if (!putTableFileInPlace(newFile, path)) {
        QFile::remove(newFile);
        *error = EngineError(EngineErrorCode::FileError,
                             QStringLiteral("Soubor tabulky %1 nelze nahradit").arg(tableFile));
        return false;
    }
    syncDirectory(m_directory);
    return true;
}

void Database::registerTable(Table *table)
{
    m_tables.append(QPointer<Table>(table));
}

void Database::unregisterTable(Table *table)
{
    m_tables.removeIf([table](const QPointer<Table> &entry) { return !entry || entry == table; });
}
