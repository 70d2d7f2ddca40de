// Whole-table operations of the maintenance: emptying, packing, protection, flushing.

#include "data/table.h"

#include "data/internal/tableprivate.h"

#include <QFile>

quint16 Table::emptyTable()
{
    if (!d->open) {
        d->failNotOpen();
        return Engine::lastError().code;
    }
    if (d->state == State::Edit)
        cancel();
    EngineError error;
    if (!d->sql()->exec(QStringLiteral("DELETE FROM ") + d->qualified(), {}, &error))
        return Engine::setLastError(error).code;
    d->countCache = -1;
    d->seekEnd(false);
    d->notifyRecords();
    return 0;
}

quint16 Table::regenerateIndexes()
{
    if (!d->open) {
        d->failNotOpen();
        return Engine::lastError().code;
    }
    // The pack writes every index anew from its own entries, in their order: about half the work
    // of REINDEX, which sorts the records again for each index. The entries are the same either
    // way, since SQLite changes a table and its indexes in one transaction.
    return restructure(true, d->sql()->isProtected(d->fileName));
}

quint16 Table::restructure(bool pack, bool protect)
{
    if (!d->filesReady())
        return Engine::lastError().code;
    if (d->sql()->inTransaction()) {
        return Engine::setLastError(
                   EngineError(EngineErrorCode::TransactionActive,
                               QStringLiteral("Během transakce nelze tabulku komprimovat")))
            .code;
    }
    const bool change = d->sql()->isProtected(d->fileName) != protect;
    if (!pack && !change)
        return 0;
    if (change && d->database->hasOpenTables()) {
        return Engine::setLastError(
                   EngineError(EngineErrorCode::TableInUse,
                               QStringLiteral("Ochranu tabulky %1 nelze změnit, dokud jsou "
                                              "otevřeny tabulky databáze")
                                   .arg(d->objectName())))
            .code;
    }
    if (d->open && d->state == State::Edit && !post())
        return Engine::lastError().code;
    bool acquired = false;
    if (!d->acquireExclusiveForChange(&acquired))
        return Engine::lastError().code;
    EngineError error;
    const QString packed = d->sql()->filePath(d->fileName) + QStringLiteral(".pack");
    QFile::remove(packed); // left by a pack that an end cut short
    bool done;
    if (change) {
        done = d->structure.packInto(*d->sql(), packed, protect, &error) &&
               d->database->replaceTableFile(d->fileName, packed, &error);
    } else {
        done = d->structure.pack(*d->sql(), &error);
    }
    d->releaseExclusiveForChange(acquired);
    if (!done)
        return Engine::setLastError(error).code;
    if (d->open)
        refresh();
    return 0;
}

quint16 Table::flush()
{
    if (!d->filesReady())
        return Engine::lastError().code;
    if (d->sql()->inTransaction()) {
        return Engine::setLastError(
                   EngineError(
                       EngineErrorCode::TransactionActive,
                       QStringLiteral("Během transakce nelze tabulku %1 uložit").arg(d->fileName)))
            .code;
    }
    EngineError error;
    if (!d->structure.syncFile(*d->sql(), &error))
        return Engine::setLastError(error).code;
    return 0;
}
