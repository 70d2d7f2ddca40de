#pragma once

// The desk's records as values, read from and written to the tables' cursors by the field names
// of the schema, so that no window or desk operation spells a field name.

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariantList>

class Record;
class Table;

// A receipt of SaleSolars with its calculated fields.
struct ReceiptRecord
{
    qint64 paragon = 0;
    QDate date;
    QTime time;
    int solar = 0;
    bool stop = false; // stopped before the paid time
    int tax = 0;
    double price = 0; // per minute
    int off = 0;      // discount in per cent
    int period = 0;   // seconds
    QString user;
    QString periodMmss;    // calculated
    double priceTotal = 0; // calculated

    static ReceiptRecord of(const Record &record);
    // The stored fields in table order, as Table::append takes them.
    QVariantList storedValues() const;
    bool operator==(const ReceiptRecord &other) const = default;
};

// A unit's record of Solars.
struct UnitRecord
{
    int solar = 0;
    bool active = false;
    QString description;
    double price = 0;   // per minute
    qint64 counter = 0; // seconds of operation
    int startup = 0;    // runs started

    static UnitRecord of(const Record &record);
    QVariantList storedValues() const;
    // Sets, in the table's edit state, the fields that differ from the record as it was read;
    // false when the engine refuses one.
    bool writeChanges(Table &solars, const UnitRecord &before) const;
    bool operator==(const UnitRecord &other) const = default;
};

// The calculated COUNTER_HOURS of a unit.
double counterHours(qint64 counterSeconds);

// Moves the cursor of Solars to the unit's record; false (cursor unchanged) without one.
bool locateUnit(Table &solars, int unit);

// The cash balance, the one record of Money.
double cashBalanceOf(const Table &money);
// Adds the amount to the balance as it is stored now (edit() rereads the record, with any sale
// recorded since it was last read) and posts it; on false the caller cancels.
bool addToCashBalance(Table &money, double amount);
