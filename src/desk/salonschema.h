#pragma once

// The desk's three tables: their names and field names (the one place that spells them),
// structures, display attributes, index sets and calculated fields, and the creation of a fresh
// installation (used only by the set-up tool and tests; the program itself never creates a
// table).

#include "data/databaseschema.h"
#include "data/tabledefinition.h"

#include <QString>
#include <QStringList>

namespace MoneyField {
inline const QString Money = QStringLiteral("MONEY");
} // namespace MoneyField

namespace SolarsField {
inline const QString Solar = QStringLiteral("SOLAR");
inline const QString Active = QStringLiteral("ACTIVE");
inline const QString Description = QStringLiteral("DESCRIPTION");
inline const QString Price = QStringLiteral("PRICE");                // per minute
inline const QString Counter = QStringLiteral("COUNTER");            // seconds of operation
inline const QString Startup = QStringLiteral("STARTUP");            // runs started
inline const QString CounterHours = QStringLiteral("COUNTER_HOURS"); // calculated
} // namespace SolarsField

namespace SaleSolarsField {
inline const QString Paragon = QStringLiteral("PARAGON"); // the receipt number
inline const QString Date = QStringLiteral("DATE");
inline const QString Time = QStringLiteral("TIME");
inline const QString Solar = QStringLiteral("SOLAR");
inline const QString Stop = QStringLiteral("STOP");
inline const QString Tax = QStringLiteral("TAX");
inline const QString Price = QStringLiteral("PRICE");   // per minute
inline const QString Off = QStringLiteral("OFF");       // discount in per cent
inline const QString Period = QStringLiteral("PERIOD"); // seconds
inline const QString User = QStringLiteral("USER");
inline const QString PeriodMmss = QStringLiteral("PERIOD_MMSS"); // calculated
inline const QString PriceTotal = QStringLiteral("PRICE_TOTAL"); // calculated
} // namespace SaleSolarsField

// The order in which backups, restores and maintenance treat the tables.
inline const QStringList TableNames = {QStringLiteral("Money"), QStringLiteral("Solars"),
                                       QStringLiteral("SaleSolars")};

// The index sets (see indexSetEntry).
inline const QStringList MoneyIndexes = {MoneyField::Money};
inline const QStringList SolarsIndexes = {SolarsField::Solar};
inline const QStringList SaleSolarsIndexes = {
    SaleSolarsField::Paragon, SaleSolarsField::Paragon, SaleSolarsField::Date,
    SaleSolarsField::Time,    SaleSolarsField::Solar,   SaleSolarsField::Price,
    SaleSolarsField::Off,     SaleSolarsField::Period,  SaleSolarsField::User};

const TableDefinition &moneyTable();
const TableDefinition &solarsTable();
const TableDefinition &saleSolarsTable();
const TableDefinition *findTableDefinition(const QString &tableName); // case-insensitive

// The desk's database for Database: the three table files in TableNames' order and the SQL
// function PRICE_TOTAL(PERIOD, PRICE, OFF), the receipt's price by the same formula as the
// calculated field, so that sums in SQL and the cursor agree.
const DatabaseSchema &deskDatabaseSchema();

// Calculated fields, one formula each (receiptPriceTotal and CzechFormat::period of core):
// Solars: COUNTER_HOURS = COUNTER / 3600.
// SaleSolars: PERIOD_MMSS = "mm:ss" of PERIOD; PRICE_TOTAL = price of the run after discount.
void TableSolarsCalcFields(Record &record);
void TableSaleSolarsCalcFields(Record &record);

// Creates a fresh installation in the directory (made when missing): the three table files with
// their full index sets, eight Solars records (SOLAR 1 to 8, active, "Solárko N", 10.00 per
// minute, counters 0) and one Money record (0.00). Refuses when any table file exists already.
bool createInstallation(const QString &directory, QString *error);
