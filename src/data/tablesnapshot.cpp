#include "data/tablesnapshot.h"

#include "core/filesync.h"
#include "data/database.h"
#include "data/engineerror.h"
#include "data/internal/protectedvfs.h"
#include "data/internal/sqlconnection.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

// One table file's copy in progress.
struct TableSnapshot::Copy
{
    QString tableFile;
    QString schema;
    QString temporaryPath;
    sqlite3 *target = nullptr;
    sqlite3_backup *backup = nullptr;
    bool stepped = false;

    ~Copy()
    {
        if (backup)
            sqlite3_backup_finish(backup);
        if (target)
            sqlite3_close_v2(target);
    }

    // Pages still to copy: exact once a step has run, the source's size before.
    int remaining(sqlite3 *source) const
    {
        if (stepped)
            return sqlite3_backup_remaining(backup);
        sqlite3_stmt *statement = nullptr;
        const QByteArray sql = QStringLiteral("PRAGMA \"%1\".page_count").arg(schema).toUtf8();
        int pages = 0;
        if (sqlite3_prepare_v2(source, sql.constData(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            pages = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
        return pages;
    }

    // A step of up to `pages`; SQLITE_OK, or the error (busy and locked come again later).
    int step(int pages)
    {
        stepped = true;
        const int result = sqlite3_backup_step(backup, pages);
        const bool fine = result == SQLITE_OK || result == SQLITE_DONE || result == SQLITE_BUSY ||
                          result == SQLITE_LOCKED;
        return fine ? SQLITE_OK : result;
    }
};

QString TableSnapshot::temporaryName(const QString &tableFile)
{
    return tableFile + QStringLiteral(".part");
}

bool TableSnapshot::fail(const QString &message, int resultCode)
{
    m_error = resultCode == SQLITE_OK
                  ? message
                  : QStringLiteral("%1: %2").arg(message, czechResultText(resultCode));
    return false;
}

void TableSnapshot::betweenSteps()
{
    if (m_betweenSteps)
        m_betweenSteps();
}

bool TableSnapshot::copyTo(const QString &folder)
{
    m_error.clear();
    if (!m_database.openFiles())
        return fail(QStringLiteral("Tabulky nelze otevřít: %1").arg(Engine::lastError().message));
    SqlConnection &sql = *m_database.connection();
    const QDir target(folder);

    std::vector<std::unique_ptr<Copy>> copies;
    const auto removeTemporaries = [&copies] {
        for (const auto &copy : copies) {
            if (copy->target) {
                sqlite3_backup_finish(std::exchange(copy->backup, nullptr));
                sqlite3_close_v2(std::exchange(copy->target, nullptr));
            }
            QFile::remove(copy->temporaryPath);
        }
    };
    for (const QString &tableFile : m_database.tableFiles()) {
        auto copy = std::make_unique<Copy>();
        copy->tableFile = tableFile;
        copy->schema = sql.schemaOf(tableFile);
        copy->temporaryPath = target.filePath(temporaryName(tableFile));
        QFile::remove(copy->temporaryPath); // from a copy that was cut short
        // A protected table's copy is protected too.
        const QByteArray uri =
            ProtectedVfs::fileUri(copy->temporaryPath, sql.isProtected(tableFile)).toUtf8();
        int result = sqlite3_open_v2(uri.constData(), &copy->target,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                                     ProtectedVfs::name());
        const bool opened = result == SQLITE_OK;
        // The copy is synced once complete; until then it is only a temporary file.
        if (opened)
            sqlite3_exec(copy->target, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr,
                         nullptr, nullptr);
        copy->backup = opened ? sqlite3_backup_init(copy->target, "main", sql.handle(),
                                                    copy->schema.toUtf8().constData())
                              : nullptr;
        if (opened && !copy->backup)
            result = sqlite3_errcode(copy->target);
        copies.push_back(std::move(copy));
        if (!copies.back()->backup) {
            removeTemporaries();
            return fail(QStringLiteral("Do adresáře %1 nelze zapisovat").arg(folder), result);
        }
    }

    // Up to one page short of complete, in steps; a copy that completed would stop following
    // the connection's changes.
    for (;;) {
        if (sql.inTransaction()) { // a change in progress is not copied half-way
            betweenSteps();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        bool allNearlyDone = true;
        for (const auto &copy : copies) {
            const int pages = qMin(m_pagesPerStep, copy->remaining(sql.handle()) - 1);
            if (pages <= 0)
                continue;
            allNearlyDone = false;
            if (const int result = copy->step(pages); result != SQLITE_OK) {
                removeTemporaries();
                return fail(QStringLiteral("Tabulku %1 nelze zkopírovat").arg(copy->tableFile),
                            result);
            }
        }
        if (allNearlyDone)
            break;
        betweenSteps();
    }
    // The last pages of all of them together, with no change in between.
    for (const auto &copy : copies) {
        const int result = sqlite3_backup_step(copy->backup, -1);
        const int finished = sqlite3_backup_finish(std::exchange(copy->backup, nullptr));
        const bool closed = sqlite3_close_v2(std::exchange(copy->target, nullptr)) == SQLITE_OK;
        if (result != SQLITE_DONE || finished != SQLITE_OK || !closed) {
            removeTemporaries();
            return fail(QStringLiteral("Tabulku %1 nelze zkopírovat").arg(copy->tableFile),
                        result != SQLITE_DONE ? result : finished);
        }
    }
    // Syncing a large file takes a while: it runs beside the program, which goes on meanwhile;
    // the copies are complete and no longer follow its changes.
    for (const auto &copy : copies) {
        auto synced = std::async(std::launch::async, syncFile, copy->temporaryPath);
        while (synced.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            betweenSteps();
        if (!synced.get()) {
            removeTemporaries();
            return fail(QStringLiteral("Tabulku %1 nelze uložit").arg(copy->tableFile));
        }
    }

    // The earlier set goes first: an end in between leaves an incomplete backup, never one
    // that mixes two of them.
    for (const auto &copy : copies)
        QFile::remove(target.filePath(copy->tableFile));
    syncDirectory(folder);
    for (const auto &copy : copies) {
        QFile temporary(copy->temporaryPath);
        if (!temporary.rename(target.filePath(copy->tableFile))) {
            removeTemporaries();
            return fail(QStringLiteral("Tabulku %1 nelze uložit: %2")
                            .arg(copy->tableFile, temporary.errorString()));
        }
    }
    syncDirectory(folder);
    return true;
}
