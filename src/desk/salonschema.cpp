#include "desk/salonschema.h"

#include "core/czechformat.h"
#include "core/paths.h"
#include "core/pricing.h"
#include "data/database.h"
#include "data/table.h"
#include "desk/salonrecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    table.fields = {field(MoneyField::Money, FieldType::Money)};
    table.displays = {display(MoneyField::Money, QStringLiteral("MONEY"), Right, Amount)};
    table.indexSet = MoneyIndexes;
    return table;
}

TableDefinition makeSolars()
{
    TableDefinition table;
    table.name = QStringLiteral("Solars");
    table.objectName = QStringLiteral("TableSolars");
    table.fields = {field(SolarsField::Solar, FieldType::Short),
                    field(SolarsField::Active, FieldType::Logical),
                    field(SolarsField::Description, FieldType::Alpha, 32),
                    field(SolarsField::Price, FieldType::Money),
                    field(SolarsField::Counter, FieldType::LongInteger),
                    field(SolarsField::Startup, FieldType::Short)};
    table.calculatedFields = {calculated(SolarsField::CounterHours, FieldType::Float)};
    table.displays = {
        display(SolarsField::Solar, QStringLiteral("Solárko"), Centre, QString(), 1),
        display(SolarsField::Active, QStringLiteral("Stav"), Centre, QString(), 5,
                QStringLiteral("A;-")),
        display(SolarsField::Description, QStringLiteral("Popis"), Left),
        display(SolarsField::Price, QStringLiteral("Cena [Kč/min]"), Right, Amount),
        display(SolarsField::CounterHours, QStringLiteral("Doba provozu [h]"), Right, Amount),
        display(SolarsField::Startup, QStringLiteral("Počet startů"), Right, QString(), 4),
        display(SolarsField::Counter, QStringLiteral("COUNTER"), Right, QString(), 0, QString(),
                false),
    };
    table.indexSet = SolarsIndexes;
    return table;
}

TableDefinition makeSaleSolars()
{
    TableDefinition table;
    table.name = QStringLiteral("SaleSolars");
    table.objectName = QStringLiteral("TableSaleSolars");
    table.fields = {field(SaleSolarsField::Paragon, FieldType::LongInteger),
                    field(SaleSolarsField::Date, FieldType::Date),
                    field(SaleSolarsField::Time, FieldType::Time),
                    field(SaleSolarsField::Solar, FieldType::Short),
                    field(SaleSolarsField::Stop, FieldType::Logical),
                    field(SaleSolarsField::Tax, FieldType::Short),
                    field(SaleSolarsField::Price, FieldType::Money),
                    field(SaleSolarsField::Off, FieldType::Short),
                    field(SaleSolarsField::Period, FieldType::Short),
                    field(SaleSolarsField::User, FieldType::Alpha, 16)};
    table.calculatedFields = {
        calculated(SaleSolarsField::PeriodMmss, FieldType::Alpha, 20),
        // The SQL function calls the same receiptPriceTotal as the callback.
        calculated(SaleSolarsField::PriceTotal, FieldType::Money, 0,
                   QStringLiteral("PRICE_TOTAL(\"%1\", \"%2\", \"%3\")")
                       .arg(SaleSolarsField::Period, SaleSolarsField::Price, SaleSolarsField::Off)),
    };
    table.displays = {
        display(SaleSolarsField::Paragon, QStringLiteral("Doklad"), Right,
                QStringLiteral("000000000")),
        display(SaleSolarsField::Date, QStringLiteral("Datum"), Left),
        display(SaleSolarsField::Time, QStringLiteral("Čas"), Left),
        display(SaleSolarsField::Solar, QStringLiteral("Solárko"), Centre),
        display(SaleSolarsField::Stop, QStringLiteral("Stop"), Centre, QString(), 0,
                QStringLiteral("Stop;-")),
        display(SaleSolarsField::Tax, QStringLiteral("DPH [%]"), Right),
        display(SaleSolarsField::Price, QStringLiteral("Cena [Kč/min]"), Right, Amount),
        display(SaleSolarsField::Off, QStringLiteral("Sleva [%]"), Right),
        display(SaleSolarsField::Period, QStringLiteral("Čas [s]"), Right),
        display(SaleSolarsField::PeriodMmss, QStringLiteral("Čas [mm:ss]"), Centre),
        display(SaleSolarsField::PriceTotal, QStringLiteral("Cena [Kč]"), Right, Amount),
        display(SaleSolarsField::User, QStringLiteral("Uživatel"), Left),
    };
    table.indexSet = SaleSolarsIndexes;
    return table;
}

// PRICE_TOTAL of SQL: NULL when any field is; whole numbers cut towards zero as SQLite does.
QVariant receiptPriceTotalOf(const QVariantList &arguments)
{
    for (const QVariant &argument : arguments) {
        if (!argument.isValid())
            return QVariant();
    }
    const auto whole = [](const QVariant &value) { return int(value.toDouble()); };
    return receiptPriceTotal(whole(arguments.at(0)), arguments.at(1).toDouble(),
                             whole(arguments.at(2)));
}

bool fillInstallation(const QString &directory, QString *error)
{
    Database database(deskDatabaseSchema());
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

const DatabaseSchema &deskDatabaseSchema()
{
    static const DatabaseSchema schema = [] {
        DatabaseSchema desk;
        for (const QString &name : TableNames)
            desk.tableFiles.append(fileNameOfTable(name));
        desk.functions.append(SqlFunction{"PRICE_TOTAL", 3, receiptPriceTotalOf});
        return desk;
    }();
    return schema;
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
    record.setValue(SolarsField::CounterHours,
                    counterHours(record.value(SolarsField::Counter).toLongLong()));
}

void TableSaleSolarsCalcFields(Record &record)
{
    const int period = record.value(SaleSolarsField::Period).toInt();
    record.setValue(SaleSolarsField::PeriodMmss, CzechFormat::period(period));
    record.setValue(SaleSolarsField::PriceTotal,
                    receiptPriceTotal(period, record.value(SaleSolarsField::Price).toDouble(),
                                      record.value(SaleSolarsField::Off).toInt()));
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
        created = created && createTableFile(JoinPath(directory, fileNameOfTable(name)),
                                             *findTableDefinition(name), error);
    }
    if (created && fillInstallation(directory, error))
        return true;
    // Leave no half-made installation behind.
    for (const QString &name : TableNames)
        QFile::remove(JoinPath(directory, fileNameOfTable(name)));
    return false;
}
