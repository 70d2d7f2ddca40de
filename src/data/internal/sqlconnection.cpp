#include "data/internal/sqlconnection.h"

#include "core/paths.h"
#include "data/internal/protectedvfs.h"
#include "data/internal/sqlfunctions.h"
#include "data/internal/storage.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace {

constexpr int BusyTimeoutMs = 5000;
constexpr int MaxCachedStatements = 512;
constexpr int LargeCacheKiB = 65536;
constexpr int SmallCacheKiB = 2000; // SQLite's default

QString czechText(int primaryCode)
{
    switch (primaryCode) {
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("Přístup k databázi odepřen");
    case SQLITE_ABORT:
    case SQLITE_INTERRUPT:
        return QStringLiteral("Operace databáze byla přerušena");
    case SQLITE_BUSY:
        return QStringLiteral("Databáze je zaneprázdněna jiným programem");
    case SQLITE_LOCKED:
        return QStringLiteral("Tabulka je zamčena");
    case SQLITE_NOMEM:
        return QStringLiteral("Nedostatek paměti");
    case SQLITE_READONLY:
        return QStringLiteral("Do databáze nelze zapisovat");
    case SQLITE_IOERR:
        return QStringLiteral("Chyba čtení nebo zápisu souboru databáze");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Soubor databáze je poškozen");
    case SQLITE_FULL:
        return QStringLiteral("Disk je plný");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Soubor databáze nelze otevřít");
    case SQLITE_SCHEMA:
        return QStringLiteral("Struktura databáze se změnila");
    case SQLITE_TOOBIG:
        return QStringLiteral("Hodnota je příliš velká");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Hodnota porušuje pravidla tabulky");
    case SQLITE_MISMATCH:
        return QStringLiteral("Nesprávný typ hodnoty");
    case SQLITE_RANGE:
        return QStringLiteral("Chybný parametr dotazu");
    case SQLITE_ERROR:
        return QStringLiteral("Chyba v příkazu SQL");
    default:
        return QStringLiteral("Chyba databázového stroje");
    }
}

} // namespace

QString czechResultText(int resultCode)
{
    return czechText(resultCode & 0xFF);
}

QString tableNameOfFile(const QString &tableFileName)
{
    return QFileInfo(tableFileName).completeBaseName();
}

SqlStatement::SqlStatement(sqlite3_stmt *statement, bool owned)
    : m_statement(statement), m_owned(owned)
{}

SqlStatement::SqlStatement(SqlStatement &&other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)), m_owned(other.m_owned)
{}

SqlStatement &SqlStatement::operator=(SqlStatement &&other) noexcept
{
    if (this != &other) {
        release();
        m_statement = std::exchange(other.m_statement, nullptr);
        m_owned = other.m_owned;
    }
    return *this;
}

SqlStatement::~SqlStatement()
{
    release();
}

void SqlStatement::release()
{
    if (!m_statement)
        return;
    if (m_owned) {
        sqlite3_finalize(m_statement);
    } else {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    m_statement = nullptr;
}

int SqlStatement::bind(const QVariantList &values, int firstIndex)
{
    int index = firstIndex;
    for (const QVariant &value : values) {
        int rc = SQLITE_OK;
        switch (value.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            rc = sqlite3_bind_null(m_statement, index);
            break;
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_statement, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_statement, index, bytes.constData(), quint64(bytes.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: {
            if (value.isNull()) {
                rc = sqlite3_bind_null(m_statement, index);
                break;
            }
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_statement, index, text.constData(), quint64(text.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        }
        if (rc != SQLITE_OK)
            return rc;
        ++index;
    }
    return SQLITE_OK;
}

int SqlStatement::step()
{
    return sqlite3_step(m_statement);
}

void SqlStatement::reset()
{
    sqlite3_reset(m_statement);
}

int SqlStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QVariant SqlStatement::column(int index) const
{
    switch (sqlite3_column_type(m_statement, index)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_statement, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, index));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, index));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_statement, index)));
    }
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement, index));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_statement, index)));
    }
    default:
        return QVariant();
    }
}

QString SqlStatement::columnName(int index) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, index));
}

QString SqlStatement::columnDeclaredType(int index) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_statement, index));
}

QString SqlStatement::columnOriginTable(int index) const
{
    return QString::fromUtf8(sqlite3_column_table_name(m_statement, index));
}

QString SqlStatement::columnOriginColumn(int index) const
{
    return QString::fromUtf8(sqlite3_column_origin_name(m_statement, index));
}

SqlConnection::~SqlConnection()
{
    close();
}

bool SqlConnection::open(const QString &directory, const QStringList &tableFiles,
                         EngineError *error)
{
    close();
    m_directory = directory;
    m_files = tableFiles;
    m_mainFile = tableFiles.value(0);
    EngineError mainError;
    if (openMain(&mainError)) {
        m_schemas.insert(m_mainFile.toUpper(), QStringLiteral("main"));
        m_tables.insert(m_mainFile.toUpper(), tableNameOfFile(m_mainFile));
    } else {
        m_leftOut.insert(m_mainFile.toUpper(), fileError(m_mainFile, mainError));
        // The other files stay within reach; a transaction over all of them needs the real main
        // file and a new connection.
        if (!openHandle(":memory:", SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY, error))
            return false;
    }
    for (const QString &file : tableFiles.mid(1)) {
        EngineError attachError;
        if (!attach(file, &attachError))
            m_leftOut.insert(file.toUpper(), attachError);
    }
    return true;
}

bool SqlConnection::openMain(EngineError *error)
{
    const QString path = JoinPath(m_directory, m_mainFile);
    if (!QFileInfo(path).isFile()) {
        *error = EngineError(EngineErrorCode::TableFileMissing, QString());
        return false;
    }
    if (!openHandle(QFile::encodeName(path), 0, error))
        return false;
    if (prepareSchema(QStringLiteral("main"), error))
        return true;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    return false;
}

bool SqlConnection::openHandle(const QByteArray &name, int flags, EngineError *error)
{
    const int rc =
        sqlite3_open_v2(name.constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX | flags,
                        ProtectedVfs::name());
    if (rc != SQLITE_OK) {
        *error = errorFor(rc);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    registerSqlFunctions(m_db, m_functions ? *m_functions : QList<SqlFunction>());
    return true;
}

bool SqlConnection::prepareSchema(const QString &schema, EngineError *error)
{
    // A rollback journal (never WAL) and full sync: the super-journal then makes one
    // transaction over all attached files atomic, and a commit is on disk when it returns.
    const QString pragma = QStringLiteral("PRAGMA %1.").arg(Storage::quoted(schema));
    return exec(pragma + QStringLiteral("journal_mode = DELETE"), {}, error) &&
           exec(pragma + QStringLiteral("synchronous = FULL"), {}, error) &&
           // Up to 64 MiB of pages each, taken as used: with years of receipts a purge, a walk
           // over a secondary index or the browser's count otherwise rereads the same pages
           // many times. (A memory map would read faster but keeps every page it touched.)
           exec(pragma + QStringLiteral("cache_size = %1").arg(-LargeCacheKiB), {}, error);
}

void SqlConnection::setLargeCache(const QString &tableFileName, bool large)
{
    EngineError ignored; // a cache size is never refused
    exec(QStringLiteral("PRAGMA %1.cache_size = %2")
             .arg(Storage::quoted(schemaOf(tableFileName)))
             .arg(large ? -LargeCacheKiB : -SmallCacheKiB),
         {}, &ignored);
}

bool SqlConnection::attach(const QString &tableFile, EngineError *error)
{
    if (holds(tableFile))
        return true;
    if (!m_db || tableFile.compare(m_mainFile, Qt::CaseInsensitive) == 0) {
        *error = failureOf(tableFile);
        return false;
    }
    const QString schema = tableNameOfFile(tableFile);
    EngineError attachError;
    if (!attachAs(tableFile, schema, &attachError)) {
        *error = fileError(tableFile, attachError);
        return false;
    }
    m_leftOut.remove(tableFile.toUpper());
    m_schemas.insert(tableFile.toUpper(), schema);
    m_tables.insert(tableFile.toUpper(), schema);
    return true;
}

bool SqlConnection::attachAs(const QString &tableFile, const QString &schema, EngineError *error)
{
    const QString path = JoinPath(m_directory, tableFile);
    if (!QFileInfo(path).isFile()) {
        *error = EngineError(EngineErrorCode::TableFileMissing, QString());
        return false;
    }
    if (!exec(QStringLiteral("ATTACH DATABASE ? AS ") + Storage::quoted(schema),
              {ProtectedVfs::fileUri(path, false, QStringLiteral("rw"))}, error))
        return false;
    if (prepareSchema(schema, error))
        return true;
    EngineError ignored;
    exec(QStringLiteral("DETACH DATABASE ") + Storage::quoted(schema), {}, &ignored);
    return false;
}

EngineError SqlConnection::fileError(const QString &tableFile, const EngineError &error) const
{
    if (error.errorCode() == EngineErrorCode::TableFileMissing) {
        return EngineError(EngineErrorCode::TableFileMissing,
                           QStringLiteral("Soubor tabulky %1 nebyl nalezen v adresáři %2")
                               .arg(tableFile, m_directory));
    }
    return EngineError(error.errorCode(), QStringLiteral("%1: %2").arg(tableFile, error.message));
}

bool SqlConnection::structureReadable(EngineError *error)
{
    // Every statement needs the structure of all held files; once read, it stays until a file's
    // structure changes (a pack reads all of them again).
    return prepareOwned(QStringLiteral("SELECT 1 FROM sqlite_schema"), error).isValid();
}

QHash<QString, EngineError> SqlConnection::unreadableFiles() const
{
    QHash<QString, EngineError> unreadable;
    for (const QString &file : m_files) {
        if (!holds(file))
            continue;
        sqlite3 *probe = nullptr;
        // A connection of its own that does not wait: our connection holds no lock between its
        // statements, so what it meets is another program's lock or the file itself.
        int rc = sqlite3_open_v2(
            ProtectedVfs::fileUri(JoinPath(m_directory, file), false, QStringLiteral("ro"))
                .toUtf8()
                .constData(),
            &probe, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, ProtectedVfs::name());
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(probe, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr,
                              nullptr);
        if (rc != SQLITE_OK)
            unreadable.insert(file.toUpper(), fileError(file, errorOf(probe, rc)));
        sqlite3_close_v2(probe);
    }
    return unreadable;
}

void SqlConnection::leaveOut(const QString &tableFile, const EngineError &why)
{
    clearCache();        // no statement may keep the file in use
    EngineError ignored; // detached, or gone with the connection when it cannot be
    exec(QStringLiteral("DETACH DATABASE ") + Storage::quoted(schemaOf(tableFile)), {}, &ignored);
    m_schemas.remove(tableFile.toUpper());
    m_tables.remove(tableFile.toUpper());
    m_leftOut.insert(tableFile.toUpper(), why);
}

EngineError SqlConnection::failureOf(const QString &tableFile) const
{
    return m_leftOut.value(
        tableFile.toUpper(),
        EngineError(EngineErrorCode::TableFileMissing,
                    QStringLiteral("Tabulka %1 nepatří k databázi").arg(tableFile)));
}

void SqlConnection::close()
{
    clearCache();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_schemas.clear();
    m_tables.clear();
    m_leftOut.clear();
}

void SqlConnection::clearCache()
{
    for (sqlite3_stmt *statement : std::as_const(m_cache))
        sqlite3_finalize(statement);
    m_cache.clear();
}

SqlStatement SqlConnection::prepare(const QString &sql, EngineError *error)
{
    if (sqlite3_stmt *cached = m_cache.value(sql))
        return SqlStatement(cached, false);
    SqlStatement statement = prepareOwned(sql, error);
    if (!statement.isValid())
        return statement;
    if (m_cache.size() >= MaxCachedStatements)
        clearCache();
    sqlite3_stmt *handle = statement.take();
    m_cache.insert(sql, handle);
    return SqlStatement(handle, false);
}

SqlStatement SqlConnection::prepareOwned(const QString &sql, EngineError *error, QString *tail)
{
    if (!m_db) {
        *error =
            EngineError(EngineErrorCode::NotConnected, QStringLiteral("Databáze není připojena"));
        return SqlStatement();
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const char *rest = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, text.constData(), int(text.size()),
                                      SQLITE_PREPARE_PERSISTENT, &statement, &rest);
    if (rc != SQLITE_OK) {
        *error = errorFor(rc);
        return SqlStatement();
    }
    if (tail)
        *tail = rest ? QString::fromUtf8(rest) : QString();
    if (!statement) { // only blanks or a comment
        *error = EngineError(EngineErrorCode::SqliteBase, QStringLiteral("Prázdný příkaz SQL"));
        return SqlStatement();
    }
    return SqlStatement(statement, true);
}

bool SqlConnection::exec(const QString &sql, const QVariantList &values, EngineError *error)
{
    SqlStatement statement = prepareOwned(sql, error);
    if (!statement.isValid())
        return false;
    int rc = statement.bind(values);
    while (rc == SQLITE_OK || rc == SQLITE_ROW)
        rc = statement.step();
    if (rc != SQLITE_DONE) {
        *error = errorFor(rc);
        return false;
    }
    return true;
}

EngineError SqlConnection::errorFor(int resultCode) const
{
    return errorOf(m_db, resultCode);
}

EngineError SqlConnection::errorOf(sqlite3 *db, int resultCode)
{
    const int extended = db ? sqlite3_extended_errcode(db) : resultCode;
    const int code = (extended & 0xFF) == (resultCode & 0xFF) ? extended : resultCode;
    const QString detail =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    if (code == SQLITE_IOERR_DATA) {
        return EngineError(EngineErrorCode::CannotDecipher,
                           QStringLiteral("Tabulku nelze dešifrovat: heslo tabulek nesouhlasí "
                                          "nebo je soubor poškozen"));
    }
    if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE) {
        return EngineError(EngineErrorCode::KeyViolation,
                           QStringLiteral("Duplicitní hodnota klíče [%1]").arg(detail));
    }
    return EngineError(
        EngineErrorCode(quint16(EngineErrorCode::SqliteBase) + quint16(code & 0x7FFF)),
        QStringLiteral("%1 [%2]").arg(czechText(code & 0xFF), detail));
}

bool SqlConnection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

bool SqlConnection::isProtected(const QString &tableFileName) const
{
    return m_db && ProtectedVfs::isProtected(m_db, schemaOf(tableFileName));
}

void SqlConnection::requestReservedBytes(const QString &tableFileName, int bytes)
{
    sqlite3_file_control(m_db, schemaOf(tableFileName).toUtf8().constData(),
                         SQLITE_FCNTL_RESERVE_BYTES, &bytes);
}

QString SqlConnection::schemaOf(const QString &tableFileName) const
{
    return m_schemas.value(tableFileName.toUpper());
}

QString SqlConnection::qualifiedTable(const QString &tableFileName) const
{
    return Storage::quoted(schemaOf(tableFileName)) + QLatin1Char('.') +
           Storage::quoted(m_tables.value(tableFileName.toUpper()));
}

QString SqlConnection::filePath(const QString &tableFileName) const
{
    return JoinPath(m_directory, tableFileName);
}

quint64 SqlConnection::ownChangeCount() const
{
    return quint64(sqlite3_total_changes64(m_db));
}

quint64 SqlConnection::changeStamp(const QString &schema)
{
    EngineError ignored;
    quint64 version = 0;
    SqlStatement statement = prepare(QStringLiteral("PRAGMA ") + Storage::quoted(schema) +
                                         QStringLiteral(".data_version"),
                                     &ignored);
    if (statement.isValid() && statement.step() == SQLITE_ROW)
        version = quint64(statement.column(0).toLongLong());
    // data_version moves for other connections' commits, total_changes for our own writes.
    return version * 0x9E3779B97F4A7C15ull ^ quint64(sqlite3_total_changes64(m_db));
}
