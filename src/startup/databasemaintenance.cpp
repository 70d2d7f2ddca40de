#include "startup/databasemaintenance.h"

#include "core/clock.h"
#include "core/paths.h"
#include "data/database.h"
#include "data/engineerror.h"
#include "data/query.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/salonschema.h"
#include "startup/forminitialization.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cmath>
#include <functional>

namespace {

QString upper(const Table &table)
{
    return table.fileName().toUpper();
}

// 100 * part / whole to the nearest whole number, halves upward.
int percent(int part, int whole)
{
    return whole == 0 ? 100 : (200 * part + whole) / (2 * whole);
}

// Views stand still and calculated fields rest while a routine works on the table.
class TableAtRest
{
public:
    explicit TableAtRest(Table &table) : m_table(table)
    {
        m_table.disableControls();
        m_table.setAutoCalcFields(false);
    }
    ~TableAtRest()
    {
        m_table.setAutoCalcFields(true);
        m_table.enableControls();
    }
    TableAtRest(const TableAtRest &) = delete;
    TableAtRest &operator=(const TableAtRest &) = delete;

private:
    Table &m_table;
};

bool dropIndexes(Table &table)
{
    AddProgress(QStringLiteral("Odebírání: 0%"));
    QList<IndexDefinition> indexes = table.indexDefinitions();
    const int count = int(indexes.size());
    while (!indexes.isEmpty()) {
        if (!table.deleteIndex(indexes.last().name))
            return false;
        indexes = table.indexDefinitions();
        ReplaceProgress(
            QStringLiteral("Odebírání: %1%").arg(100 - percent(int(indexes.size()), count)));
        QCoreApplication::processEvents();
    }
    return true;
}

bool createIndexes(Table &table, const QStringList &indexSet)
{
    ReplaceProgress(QStringLiteral("Vytváření: 0%"));
    const int count = int(indexSet.size());
    for (int k = 1; k <= count; ++k) {
        for (const IndexDefinition &index : indexSetEntry(indexSet, k - 1)) {
            if (!table.addIndex(index))
                return false;
        }
        ReplaceProgress(QStringLiteral("Vytváření: %1%").arg(percent(k, count)));
        QCoreApplication::processEvents();
    }
    return true;
}

// One engine call on the table held exclusively, reported as a step of its own: its line, then
// "Ok" or "Error" after the engine's error.
bool engineCallOnExclusiveTable(Table &table, const QString &step,
                                const std::function<quint16()> &call)
{
    const TableAtRest atRest(table);
    AddProgress(step.arg(upper(table)));
    bool success = false;
    if (OpenExclusive(table)) {
        success = call() == 0;
        ShowDatabaseError(success);
        CloseExclusive(table);
    }
    ProgressResult(success);
    return success;
}

// Receipts that the purge deletes in one step: the count moves several times a second, and a
// step costs little beside its deletions.
constexpr int PurgeStep = 5000;

// The number below which the walk in receipt order deletes: that of the first receipt that is
// not older than the limit, or of the last one, which always stays. Nothing without receipts.
bool firstReceiptKept(Database &database, const QDate &limit, qint64 *number)
{
    Query query(&database);
    query.setSql(QStringLiteral("select coalesce(min(%1), 0) from (select %1 from %2 where %3 >= "
                                "'%4' union all select max(%1) from %2)")
                     .arg(SaleSolarsField::Paragon, saleSolarsTable().name, SaleSolarsField::Date,
                          limit.toString(Qt::ISODate)));
    if (!query.exec() || !query.first())
        return false;
    *number = query.value(0).toLongLong();
    return true;
}

} // namespace

bool OpenExclusive(Table &table)
{
    if (table.isOpen())
        table.close();
    for (;;) {
        table.setExclusive(true);
        if (table.open())
            break;
        // Only a table that another program holds may be had by trying again; a damaged or
        // missing file is told as it is, at once.
        const bool held = Engine::lastError().heldByAnotherProgram();
        if (!held)
            ShowDatabaseError(false);
        if (!held ||
            !ShowQuestion(QStringLiteral("%1 nelze otevřít...").arg(table.fileName()),
                          QStringLiteral("Opakovat pokus o otevření s výhradním přístupem ?"),
                          true)) {
            table.setExclusive(false);
            break;
        }
    }
    return table.isOpen();
}

void CloseExclusive(Table &table)
{
    if (table.isOpen())
        table.close();
    table.setExclusive(false);
}

bool DeleteControlFiles(const QString &directory)
{
    AddProgress(
        QStringLiteral("Vymazání řídících souborů z adresáře: %1").arg(directory.toUpper()));
    bool done = true;
    for (const QString &name : {QStringLiteral("PDOXUSRS.NET"), QStringLiteral("PARADOX.LCK"),
                                QStringLiteral("PDOXUSRS.LCK")}) {
        const QString path = JoinPath(directory, name);
        if (QFile::exists(path) && !QFile::remove(path))
            done = false;
    }
    ProgressResult(done);
    return done;
}

bool DeleteIndexFiles(const QString &databaseDirectory)
{
    bool result = false;
    QDir folder(databaseDirectory);
    for (const QString &name : TableNames) {
        AddProgress(QStringLiteral("Vymazání všech indexů pro: %1.DB").arg(name.toUpper()));
        const QStringList files = folder.entryList({name + QStringLiteral(".*")}, QDir::Files);
        result = !files.isEmpty();
        for (const QString &file : files) {
            // The table file and its journal keep ".DB" in their names.
            if (file.toUpper().contains(QStringLiteral(".DB")))
                continue;
            if (!folder.remove(file)) {
                result = false;
                break;
            }
        }
        ProgressResult(result);
    }
    return result;
}

Upkeep RebuildIndexes(Table &table, const QStringList &indexSet)
{
    const TableAtRest atRest(table);
    AddProgress(QStringLiteral("Odebrání a vytvoření indexů pro: %1").arg(upper(table)));
    if (!OpenExclusive(table)) {
        ProgressError();
        return Upkeep::NotDone;
    }
    table.close(); // the exclusive flag stays for the index work
    if (!dropIndexes(table) || !createIndexes(table, indexSet)) {
        ShowDatabaseError(false);
        CloseExclusive(table);
        return Upkeep::StartupError;
    }
    CloseExclusive(table);
    ReplaceProgress(QStringLiteral("Ok"));
    return Upkeep::Done;
}

Upkeep EraseTable(Table &table)
{
    const TableAtRest atRest(table);
    AddProgress(QStringLiteral("Vymazání: %1").arg(upper(table)));
    if (!OpenExclusive(table)) {
        ProgressError();
        return Upkeep::NotDone;
    }
    if (table.emptyTable() != 0) {
        ShowDatabaseError(false);
        ProgressError();
        return Upkeep::StartupError;
    }
    ProgressOk();
    return Upkeep::Done;
}

bool RegenerateIndexes(Table &table, std::optional<bool> packSecured)
{
    return engineCallOnExclusiveTable(table, QStringLiteral("Obnova indexů: %1"), [&] {
        if (!packSecured)
            return table.regenerateIndexes();
        table.close(); // a change of protection puts a new file in place of the open one
        return table.restructure(true, *packSecured);
    });
}

bool PackTable(Table &table, bool secured)
{
    return engineCallOnExclusiveTable(table, QStringLiteral("Komprimace: %1"), [&] {
        table.close();
        return table.restructure(true, secured);
    });
}

void RegenerateAndPackTables(const QList<Table *> &tables, bool regenerate, bool pack, bool secured)
{
    QList<const Table *> packed;
    if (regenerate) {
        for (Table *table : tables) {
            if (RegenerateIndexes(*table, pack ? std::optional<bool>(secured) : std::nullopt) &&
                pack)
                packed.append(table);
        }
    }
    if (!pack)
        return;
    for (Table *table : tables) {
        if (packed.contains(table)) {
            AddProgress(QStringLiteral("Komprimace: %1").arg(upper(*table)));
            ProgressOk();
        } else {
            PackTable(*table, secured);
        }
    }
}

bool PurgeOldReceipts(Table &saleSolars, int days, DatabaseSaver &saver)
{
    AddProgress(QStringLiteral("Vymazání záznamů s doklady"));
    const QDate limit = programClock().now().date().addDays(-days);
    const TableAtRest atRest(saleSolars);
    if (!OpenExclusive(saleSolars)) {
        ProgressError();
        return false;
    }
    Database &database = *saleSolars.database();
    int deleted = 0;
    const auto rolledBack = [&database] {
        const EngineError failure = Engine::lastError(); // what the report shows
        database.rollback();
        Engine::setLastError(failure);
        return false;
    };
    const auto purged = [&] {
        qint64 bound = 0;
        if (!firstReceiptKept(database, limit, &bound) || !database.startTransaction())
            return false;
        // Lowest numbers first, in steps, so that the count grows as they go; one transaction,
        // so that a failure deletes none. Each step's limit is a number in its statement: one
        // that SQLite must work out as it deletes makes it keep a journal of the statement too.
        Query nextLimit(&database);
        nextLimit.setSql(QStringLiteral("select coalesce((select PARAGON from SaleSolars where "
                                        "PARAGON < %1 order by PARAGON limit 1 offset %2), %1)")
                             .arg(bound)
                             .arg(PurgeStep));
        Query step(&database);
        qint64 below = 0;
        do {
            if (!nextLimit.exec() || !nextLimit.first())
                return rolledBack();
            below = nextLimit.value(0).toLongLong();
            nextLimit.close();
            step.setSql(QStringLiteral("delete from SaleSolars where PARAGON < %1").arg(below));
            if (!step.exec())
                return rolledBack();
            deleted += int(step.changedRows());
            ReplaceProgress(QStringLiteral("Vymazání záznamů s doklady: %1").arg(deleted));
            QCoreApplication::processEvents();
        } while (below < bound);
        return database.commit() || rolledBack();
    };
    if (!purged()) {
        ShowDatabaseError(false);
        CloseExclusive(saleSolars);
        ProgressError();
        return false;
    }
    saleSolars.refresh();
    saver.SaveDatabase({&saleSolars});
    CloseExclusive(saleSolars);
    ReplaceProgress(QStringLiteral("Vymazání záznamů s doklady: %1").arg(deleted));
    ProgressOk();
    return true;
}
