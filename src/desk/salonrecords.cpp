#include "desk/salonrecords.h"

#include "data/table.h"
#include "desk/salonschema.h"

ReceiptRecord ReceiptRecord::of(const Record &record)
{
    using namespace SaleSolarsField;
    ReceiptRecord receipt;
    receipt.paragon = record.value(Paragon).toLongLong();
    receipt.date = record.value(Date).toDate();
    receipt.time = record.value(Time).toTime();
    receipt.solar = record.value(Solar).toInt();
    receipt.stop = record.value(Stop).toBool();
    receipt.tax = record.value(Tax).toInt();
    receipt.price = record.value(Price).toDouble();
    receipt.off = record.value(Off).toInt();
    receipt.period = record.value(Period).toInt();
    receipt.user = record.value(User).toString();
    receipt.periodMmss = record.value(PeriodMmss).toString();
    receipt.priceTotal = record.value(PriceTotal).toDouble();
    return receipt;
}

QVariantList ReceiptRecord::storedValues() const
{
    return {paragon, date, time, solar, stop, tax, price, off, period, user};
}

UnitRecord UnitRecord::of(const Record &record)
{
    using namespace SolarsField;
    UnitRecord unit;
    unit.solar = record.value(Solar).toInt();
    unit.active = record.value(Active).toBool();
    unit.description = record.value(Description).toString();
    unit.price = record.value(Price).toDouble();
    unit.counter = record.value(Counter).toLongLong();
    unit.startup = record.value(Startup).toInt();
    return unit;
}

QVariantList UnitRecord::storedValues() const
{
    return {solar, active, description, price, counter, startup};
}

bool UnitRecord::writeChanges(Table &solars, const UnitRecord &before) const
{
    using namespace SolarsField;
    const auto write = [&solars](bool changed, const QString &field, const QVariant &value) {
        return !changed || solars.setValue(field, value);
    };
    return write(description != before.description, Description, description) &&
           write(price != before.price, Price, price) &&
           write(counter != before.counter, Counter, counter) &&
           write(startup != before.startup, Startup, startup) &&
           write(active != before.active, Active, active);
}

double counterHours(qint64 counterSeconds)
{
    return counterSeconds / 3600.0;
}

bool locateUnit(Table &solars, int unit)
{
    return solars.locate(SolarsField::Solar, unit);
}

double cashBalanceOf(const Table &money)
{
    return money.value(MoneyField::Money).toDouble();
}

bool addToCashBalance(Table &money, double amount)
{
    return money.edit() && money.setValue(MoneyField::Money, cashBalanceOf(money) + amount) &&
           money.post();
}
