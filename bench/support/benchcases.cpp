#include "benchcases.h"

#include "core/paths.h"
#include "data/database.h"
#include "data/table.h"
#include "data/tablekeys.h"
#include "desk/salonschema.h"
#include "generator.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTime>

#include <sqlite3.h>

QString installationOrSkip(benchmark::State &state, qint64 count)
{
    QString error;
    const QString directory = cachedInstallation(count, &error);
    if (directory.isEmpty())
        state.SkipWithError(error.toLocal8Bit().constData());
    return directory;
}

QString protectedInstallationOrSkip(benchmark::State &state, qint64 count)
{
    TableKeys::registerPassword(QStringLiteral("Heslo-měření"));
    const QString plain = installationOrSkip(state, count);
    if (plain.isEmpty())
        return QString();
    const QString directory = plain + QStringLiteral("-protected");
    const QString complete = JoinPath(directory, QStringLiteral("complete"));
    if (QFileInfo::exists(complete))
        return directory;
    QDir(directory).removeRecursively();
    QDir().mkpath(directory);
    for (const QString &table : TableNames) {
        const QString file = fileNameOfTable(table);
        QFile::copy(JoinPath(plain, file), JoinPath(directory, file));
    }
    Database database{deskDatabaseSchema()};
    bool packed = database.connectDirectory(directory);
    for (const QString &table : TableNames)
        packed = packed && Table(&database, fileNameOfTable(table)).restructure(true, true) == 0;
    if (!packed || !QFile(complete).open(QIODevice::WriteOnly)) {
        state.SkipWithError(Engine::lastError().message.toLocal8Bit().constData());
        return QString();
    }
    return directory;
}

QString installationOrSkip(benchmark::State &state, qint64 count, bool protectedTables)
{
    return protectedTables ? protectedInstallationOrSkip(state, count)
                           : installationOrSkip(state, count);
}

// A private copy of a cached installation for benchmarks that write.
QString workCopy(benchmark::State &state, qint64 count, const QString &name, bool protectedTables)
{
    const QString source = installationOrSkip(state, count, protectedTables);
    if (source.isEmpty())
        return QString();
    const QString target =
        JoinPath(QFileInfo(source).absolutePath(), QStringLiteral("work-") + name);
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    for (const QString &table : TableNames) {
        const QString file = fileNameOfTable(table);
        if (!QFile::copy(JoinPath(source, file), JoinPath(target, file))) {
            state.SkipWithError("copy failed");
            return QString();
        }
    }
    return target;
}

// The same three writes without the engine: prepared statements on one connection.
void BM_SaleBareSqlite(benchmark::State &state)
{
    const QString directory = workCopy(state, state.range(0), QStringLiteral("sale-bare"));
    if (directory.isEmpty())
        return;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(JoinPath(directory, QStringLiteral("Money.DB"))).constData(),
                    &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray setup =
        QStringLiteral("ATTACH '%1' AS Solars; ATTACH '%2' AS SaleSolars; "
                       "PRAGMA main.journal_mode = DELETE; PRAGMA main.synchronous = FULL; "
                       "PRAGMA Solars.journal_mode = DELETE; PRAGMA Solars.synchronous = FULL; "
                       "PRAGMA SaleSolars.journal_mode = DELETE; "
                       "PRAGMA SaleSolars.synchronous = FULL;")
            .arg(JoinPath(directory, QStringLiteral("Solars.DB")),
                 JoinPath(directory, QStringLiteral("SaleSolars.DB")))
            .toUtf8();
    if (sqlite3_exec(db, setup.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    sqlite3_stmt *maxNumber = nullptr;
    sqlite3_stmt *insert = nullptr;
    sqlite3_stmt *counters = nullptr;
    sqlite3_stmt *balance = nullptr;
    sqlite3_prepare_v2(db, "SELECT max(PARAGON) FROM SaleSolars.SaleSolars", -1, &maxNumber,
                       nullptr);
    sqlite3_prepare_v2(
        db,
        "INSERT INTO SaleSolars.SaleSolars VALUES (?, ?, ?, ?, 0, 21, 12.5, 10, 600, "
        "'Administrator')",
        -1, &insert, nullptr);
    sqlite3_prepare_v2(
        db,
        "UPDATE Solars.Solars SET COUNTER = COUNTER + 600, STARTUP = STARTUP % 30000 + 1 "
        "WHERE SOLAR = ?",
        -1, &counters, nullptr);
    sqlite3_prepare_v2(db, "UPDATE main.Money SET MONEY = MONEY + 113.0", -1, &balance, nullptr);
    int unit = 0;
    for (auto _ : state) {
        unit = unit % 8 + 1;
        sqlite3_step(maxNumber);
        const qint64 number = sqlite3_column_int64(maxNumber, 0) + 1;
        sqlite3_reset(maxNumber);
        const QByteArray date = QDate::currentDate().toString(Qt::ISODate).toUtf8();
        const QByteArray time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_int64(insert, 1, number);
        sqlite3_bind_text(insert, 2, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, time.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 4, unit);
        sqlite3_bind_int(counters, 1, unit);
        const bool done = sqlite3_step(insert) == SQLITE_DONE &&
                          sqlite3_step(counters) == SQLITE_DONE &&
                          sqlite3_step(balance) == SQLITE_DONE &&
                          sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_reset(insert);
        sqlite3_reset(counters);
        sqlite3_reset(balance);
        if (!done) {
            state.SkipWithError(sqlite3_errmsg(db));
            break;
        }
    }
    for (sqlite3_stmt *statement : {maxNumber, insert, counters, balance})
        sqlite3_finalize(statement);
    sqlite3_close(db);
}

void BM_CountSumFloor(benchmark::State &state)
{
    const QString directory = installationOrSkip(state, state.range(0));
    if (directory.isEmpty())
        return;
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    const QByteArray file = QFile::encodeName(JoinPath(directory, QStringLiteral("SaleSolars.DB")));
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "SELECT count(*), sum(PRICE * PERIOD) FROM SaleSolars", -1,
                           &statement, nullptr) != SQLITE_OK) {
        state.SkipWithError("open failed");
        sqlite3_close(db);
        return;
    }
    qint64 count = 0;
    for (auto _ : state) {
        sqlite3_reset(statement);
        if (sqlite3_step(statement) != SQLITE_ROW) {
            state.SkipWithError("aggregate failed");
            break;
        }
        count = sqlite3_column_int64(statement, 0);
    }
    state.counters["records"] = double(count);
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

bool runShellOnReceipts(benchmark::State &state, const QString &directory, const QString &sql,
                        QByteArray *output)
{
    QProcess shell;
    shell.start(
        QStringLiteral("sqlite3"),
        {QStringLiteral("-readonly"), JoinPath(directory, QStringLiteral("SaleSolars.DB")), sql});
    if (!shell.waitForFinished(120000) || shell.exitCode() != 0) {
        state.SkipWithError("sqlite3 failed");
        return false;
    }
    *output = shell.readAllStandardOutput();
    return true;
}
