#include "desk/databasesaver.h"

#include "data/table.h"
#include "desk/eventlog.h"

bool DatabaseSaver::SaveDatabase(const QList<Table *> &tables)
{
    if (!m_enabled())
        return false;
    bool saved = true;
    for (Table *table : tables) {
        if (table->flush() != 0) {
            saved = false;
            break;
        }
    }
    m_log.AddLog(saved ? QStringLiteral("Databáze uložena") : QStringLiteral("Databáze neuložena"));
    return saved;
}
