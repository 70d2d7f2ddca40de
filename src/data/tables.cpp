#include "data/tables.h"

#include "core/czechformat.h"
#include "core/paths.h"
#include "core/pricing.h"
#include "data/database.h"
#include "data/storage.h"
#include "data/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment Centre = Qt::AlignHCenter | Qt::AlignVCenter;

FieldDefinition field(const QString &name, FieldType type, int size = 0)
{
    FieldDefinition definition;
    definition.name = name;
    definition.type = type;
    definition.size = size;
    return definition;
}

FieldDefinition calculated(const QString &name, FieldType type, int size = 0,
                           const QString &sqlExpression = QString())
{
    FieldDefinition definition = field(name, type, size);
    definition.calculated = true;
    definition.sqlExpression = sqlExpression;
    return definition;
}

FieldDisplay display(const QString &name, const QString &title, Qt::Alignment alignment,
                     const QString &format = QString(), int width = 0,
                     const QString &values = QString(), bool visible = true)
{
    FieldDisplay attributes;
    attributes.field = name;
    attributes.title = title;
    attributes.alignment = alignment;
    attributes.displayFormat = format;
    attributes.width = width;
    attributes.displayValues = values;
    attributes.visible = visible;
    return attributes;
}

const QString Amount = QStringLiteral(",0.00");

TableDefinition makeMoney()
{
    TableDefinition table;
    table.name = QStringLiteral("Money");
    table.objectName = QStringLiteral("TableMoney");
    table.fields = {field(QStringLiteral("MONEY"), FieldType::Money)};
    table.displays = {display(QStringLiteral("MONEY"), QStringLiteral("MONEY"), Right, Amount)};
    table.indexSet = MoneyIndexes;
    return table;
}

TableDefinition makeSolars()
{
    TableDefinition table;
    table.name = QStringLiteral("Solars");
    table.objectName = QStringLiteral("TableSolars");
    table.fields = {field(QStringLiteral("SOLAR"), FieldType::Short),
                    field(QStringLiteral("ACTIVE"), FieldType::Logical),
                    field(QStringLiteral("DESCRIPTION"), FieldType::Alpha, 32),
                    field(QStringLiteral("PRICE"), FieldType::Money),
                    field(QStringLiteral("COUNTER"), FieldType::LongInteger),
                    field(QStringLiteral("STARTUP"), FieldType::Short)};
    table.calculatedFields = {calculated(QStringLiteral("COUNTER_HOURS"), FieldType::Float)};
    table.displays = {
        display(QStringLiteral("SOLAR"), QStringLiteral("Solárko"), Centre, QString(), 1),
        display(QStringLiteral("ACTIVE"), QStringLiteral("Stav"), Centre, QString(), 5,
                QStringLiteral("A;-")),
        display(QStringLiteral("DESCRIPTION"), QStringLiteral("Popis"), Left),
        display(QStringLiteral("PRICE"), QStringLiteral("Cena [Kč/min]"), Right, Amount),
        display(QStringLiteral("COUNTER_HOURS"), QStringLiteral("Doba provozu [h]"), Right, Amount),
        display(QStringLiteral("STARTUP"), QStringLiteral("Počet startů"), Right, QString(), 4),
        display(QStringLiteral("COUNTER"), QStringLiteral("COUNTER"), Right, QString(), 0,
                QString(), false),
    };
    table.indexSet = SolarsIndexes;
    return table;
}

TableDefinition makeSaleSolars()
{
    TableDefinition table;
    table.name = QStringLiteral("SaleSolars");
    table.objectName = QStringLiteral("TableSaleSolars");
    table.fields = {field(QStringLiteral("PARAGON"), FieldType::LongInteger),
                    field(QStringLiteral("DATE"), FieldType::Date),
                    field(QStringLiteral("TIME"), FieldType::Time),
                    field(QStringLiteral("SOLAR"), FieldType::Short),
                    field(QStringLiteral("STOP"), FieldType::Logical),
                    field(QStringLiteral("TAX"), FieldType::Short),
                    field(QStringLiteral("PRICE"), FieldType::Money),
                    field(QStringLiteral("OFF"), FieldType::Short),
                    field(QStringLiteral("PERIOD"), FieldType::Short),
                    field(QStringLiteral("USER"), FieldType::Alpha, 16)};
    table.calculatedFields = {
        calculated(QStringLiteral("PERIOD_MMSS"), FieldType::Alpha, 20),
        // The SQL function calls the same receiptPriceTotal as the callback.
        calculated(QStringLiteral("PRICE_TOTAL"), FieldType::Money, 0,
                   QStringLiteral("PRICE_TOTAL(\"PERIOD\", \"PRICE\", \"OFF\")")),
    };
    table.displays = {
        display(QStringLiteral("PARAGON"), QStringLiteral("Doklad"), Right,
                QStringLiteral("000000000")),
        display(QStringLiteral("DATE"), QStringLiteral("Datum"), Left),
        display(QStringLiteral("TIME"), QStringLiteral("Čas"), Left),
        display(QStringLiteral("SOLAR"), QStringLiteral("Solárko"), Centre),
        display(QStringLiteral("STOP"), QStringLiteral("Stop"), Centre, QString(), 0,
                QStringLiteral("Stop;-")),
        display(QStringLiteral("TAX"), QStringLiteral("DPH [%]"), Right),
        display(QStringLiteral("PRICE"), QStringLiteral("Cena [Kč/min]"), Right, Amount),
        display(QStringLiteral("OFF"), QStringLiteral("Sleva [%]"), Right),
        display(QStringLiteral("PERIOD"), QStringLiteral("Čas [s]"), Right),
        display(QStringLiteral("PERIOD_MMSS"), QStringLiteral("Čas [mm:ss]"), Centre),
        display(QStringLiteral("PRICE_TOTAL"), QStringLiteral("Cena [Kč]"), Right, Amount),
        display(QStringLiteral("USER"), QStringLiteral("Uživatel"), Left),
    };
    table.indexSet = SaleSolarsIndexes;
    return table;
}

// A table file with its columns and nothing else; the engine then adds the index set.
bool createBareTable(const QString &path, const TableDefinition &table, QString *error)
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QStringList columns;
    for (const FieldDefinition &definition : table.fields)
        columns.append(Storage::columnSql(definition));
    const QByteArray sql = QStringLiteral("PRAGMA journal_mode = DELETE; CREATE TABLE %1 (%2);")
                               .arg(Storage::quoted(table.name), columns.join(QStringLiteral(", ")))
                               .toUtf8();
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        *error = QStringLiteral("Soubor %1 nelze vytvořit [%2]")
                     .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    }
    sqlite3_close_v2(db);
    return rc == SQLITE_OK;
}

bool fillInstallation(const QString &directory, QString *error)
{
    Database database;
    const auto engineFailure = [error] {
        *error = Engine::lastError().message;
        return false;
    };
    if (!database.connectDirectory(directory))
        return engineFailure();
    for (const QString &name : TableNames) {
        const TableDefinition *definition = findTableDefinition(name);
        Table table(&database, definition->fileName());
        table.setObjectName(definition->objectName);
        table.setExclusive(true);
        for (const IndexDefinition &index : indexSetDefinitions(definition->indexSet)) {
            if (!table.addIndex(index))
                return engineFailure();
        }
        if (!table.open())
            return engineFailure();
        if (name == QLatin1String("Money") && !table.append({0.0}))
            return engineFailure();
        if (name == QLatin1String("Solars")) {
            for (int unit = 1; unit <= 8; ++unit) {
                if (!table.append({unit, true, QStringLiteral("Solárko %1").arg(unit), 10.0, 0, 0}))
                    return engineFailure();
            }
        }
        table.close();
    }
    return true;
}

} // namespace

QString fileNameOfTable(const QString &tableName)
{
    return tableName + QStringLiteral(".DB");
}

QList<IndexDefinition> indexSetEntry(const QStringList &indexSet, int k)
{
    if (k < 0 || k >= indexSet.size())
        return {};
    const QString &field = indexSet.at(k);
    if (k == 0)
        return {IndexDefinition{
            QString(), {field}, IndexDefinition::Primary | IndexDefinition::Unique}};
    return {IndexDefinition{QLatin1Char('_') + field, {field}, IndexDefinition::CaseInsensitive},
            IndexDefinition{field + QLatin1Char('_'),
                            {field},
                            IndexDefinition::CaseInsensitive | IndexDefinition::Descending}};
}

QList<IndexDefinition> indexSetDefinitions(const QStringList &indexSet)
{
    QList<IndexDefinition> definitions;
    for (int k = 0; k < indexSet.size(); ++k)
        definitions += indexSetEntry(indexSet, k);
    return definitions;
}

const FieldDisplay *TableDefinition::display(const QString &field) const
{
    for (const FieldDisplay &attributes : displays) {
        if (attributes.field.compare(field, Qt::CaseInsensitive) == 0)
            return &attributes;
    }
    return nullptr;
}

QList<FieldDisplay> TableDefinition::visibleColumns() const
{
    QList<FieldDisplay> columns;
    for (const FieldDisplay &attributes : displays) {
        if (attributes.visible)
            columns.append(attributes);
    }
    return columns;
}

const TableDefinition &moneyTable()
{
    static const TableDefinition table = makeMoney();
    return table;
}

const TableDefinition &solarsTable()
{
    static const TableDefinition table = makeSolars();
    return table;
}

const TableDefinition &saleSolarsTable()
{
    static const TableDefinition table = makeSaleSolars();
    return table;
}

const TableDefinition *findTableDefinition(const QString &tableName)
{
    for (const TableDefinition *table : {&moneyTable(), &solarsTable(), &saleSolarsTable()}) {
        if (table->name.compare(tableName, Qt::CaseInsensitive) == 0)
            return table;
    }
    return nullptr;
}

void TableSolarsCalcFields(Record &record)
{
    record.setValue(QStringLiteral("COUNTER_HOURS"),
                    record.value(QStringLiteral("COUNTER")).toInt() / 3600.0);
}

void TableSaleSolarsCalcFields(Record &record)
{
    const int period = record.value(QStringLiteral("PERIOD")).toInt();
    record.setValue(QStringLiteral("PERIOD_MMSS"), CzechFormat::period(period));
    record.setValue(QStringLiteral("PRICE_TOTAL"),
                    receiptPriceTotal(period, record.value(QStringLiteral("PRICE")).toDouble(),
                                      record.value(QStringLiteral("OFF")).toInt()));
}

bool createInstallation(const QString &directory, QString *error)
{
    for (const QString &name : TableNames) {
        const QString path = JoinPath(directory, fileNameOfTable(name));
        if (QFileInfo::exists(path)) {
            *error =
                QStringLiteral("Adresář %1 již obsahuje tabulku %2, instalace nebyla vytvořena")
                    .arg(directory, fileNameOfTable(name));
            return false;
        }
    }
    if (!QDir().mkpath(directory)) {
        *error = QStringLiteral("Adresář %1 nelze vytvořit").arg(directory);
        return false;
    }
    bool created = true;
    for (const QString &name : TableNames) {
        created = created && createBareTable(JoinPath(directory, fileNameOfTable(name)),
                                             *findTableDefinition(name), error);
    }
    if (created && fillInstallation(directory, error))
        return true;
    // Leave no half-made installation behind.
    for (const QString &name : TableNames)
        QFile::remove(JoinPath(directory, fileNameOfTable(name)));
    return false;
}
