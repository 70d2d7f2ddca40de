#include "desk/desk.h"

#include "core/paths.h"
#include "data/engineerror.h"
#include "desk/deskreport.h"
#include "desk/salonschema.h"

namespace {

// The error text up to its first line break, as the table warnings show it.
QString firstLine(const QString &text)
{
    return text.section(QLatin1Char('\n'), 0, 0);
}

} // namespace

Desk::Desk(DeskReport &report)
    : m_report(report), m_tableMoney(&m_database, moneyTable().fileName()),
      m_tableSolars(&m_database, solarsTable().fileName()),
      m_tableSaleSolars(&m_database, saleSolarsTable().fileName()),
      m_tableSaleSolarsCalc(&m_database, saleSolarsTable().fileName()),
      m_eventLog(writableFileName(QStringLiteral("Velmora.log"))), m_saver(m_eventLog),
      m_saleRecorder(m_database, m_tableMoney, m_tableSolars, m_tableSaleSolars,
                     m_tableSaleSolarsCalc, m_eventLog, m_saver,
                     [this] { m_report.databaseError(); }),
      m_backups(m_database, m_eventLog, m_report)
{
    m_tableMoney.setObjectName(QStringLiteral("TableMoney"));
    m_tableSolars.setObjectName(QStringLiteral("TableSolars"));
    m_tableSaleSolars.setObjectName(QStringLiteral("TableSaleSolars"));
    m_tableSaleSolarsCalc.setObjectName(QStringLiteral("TableSaleSolarsCalc"));
    m_tableSolars.setCalculatedFields(solarsTable().calculatedFields);
    m_tableSolars.setCalcFieldsCallback(TableSolarsCalcFields);
    m_tableSaleSolars.setCalculatedFields(saleSolarsTable().calculatedFields);
    m_tableSaleSolars.setCalcFieldsCallback(TableSaleSolarsCalcFields);
    for (Table *table : {&m_tableMoney, &m_tableSolars, &m_tableSaleSolars})
        installErrorHandlers(*table);
}

bool Desk::openTables()
{
    return m_tableMoney.open() && moneyHasOneRecord() && m_tableSolars.open() &&
           m_tableSaleSolarsCalc.open() && m_tableSaleSolars.open();
}

// The cash balance is the one record of Money: with several, sales would go to one of them.
bool Desk::moneyHasOneRecord()
{
    Engine::clearLastError();
    const qint64 records = m_tableMoney.recordCount();
    if (records == 1)
        return true;
    if (!Engine::lastError().isError()) { // counted, not failed
        Engine::setLastError(EngineError(
            EngineErrorCode::TableStructure,
            QStringLiteral("Tabulka Money musí mít právě jeden záznam (pokladna), má %1")
                .arg(records)));
    }
    return false;
}

void Desk::closeTables()
{
    for (Table *table : {&m_tableMoney, &m_tableSolars, &m_tableSaleSolarsCalc, &m_tableSaleSolars})
        table->close();
}

void Desk::installErrorHandlers(Table &table)
{
    // A failed post or edit is shown once, as the desk's own warning, and its change dropped.
    table.setPostErrorHandler([this](Table &failed, const EngineError &error, ErrorAction &action) {
        m_report.warn(QStringLiteral("Chyba při zápisu do databáze..."),
                      QStringLiteral("Post Error: %1 [%2]")
                          .arg(firstLine(error.message), failed.objectName()));
        action = ErrorAction::Abort;
    });
    table.setEditErrorHandler([this](Table &failed, const EngineError &error, ErrorAction &action) {
        m_report.warn(QStringLiteral("Chyba při editaci databáze..."),
                      QStringLiteral("Edit Error: %1 [%2]")
                          .arg(firstLine(error.message), failed.objectName()));
        action = ErrorAction::Abort;
    });
}
