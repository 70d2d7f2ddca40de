#include "reports/logic/statistics.h"

#include "data/table.h"
#include "desk/salonschema.h"

#include <QMap>

namespace {

struct Buckets
{
    const char *title;
    const QString &field;
    DatePart part;
    int first;
    int last;
};

Buckets bucketsOf(Statistic statistic)
{
    switch (statistic) {
    case Statistic::Day:
        return {"Denní statistika", SaleSolarsField::Time, DatePart::Hour, 0, 23};
    case Statistic::Week:
        return {"Týdenní statistika", SaleSolarsField::Date, DatePart::IsoWeekday, 1, 7};
    case Statistic::Month:
        return {"Měsíční statistika", SaleSolarsField::Date, DatePart::Day, 1, 31};
    case Statistic::Year:
        break;
    }
    return {"Roční statistika", SaleSolarsField::Date, DatePart::Month, 1, 12};
}

QString labelOf(Statistic statistic, int bucket)
{
    static const QStringList weekdays{
        QStringLiteral("Po"), QStringLiteral("Út"), QStringLiteral("St"), QStringLiteral("Čt"),
        QStringLiteral("Pá"), QStringLiteral("So"), QStringLiteral("Ne")};
    if (statistic == Statistic::Week)
        return weekdays.at(bucket - 1);
    return QStringLiteral("%1.").arg(bucket, 2, 10, QLatin1Char('0'));
}

} // namespace

std::optional<StatisticCounts> countCustomers(Table &sales, Statistic statistic)
{
    const Buckets buckets = bucketsOf(statistic);
    QMap<int, qint64> counted;
    if (!sales.countByPart(buckets.field, buckets.part, &counted))
        return std::nullopt;
    StatisticCounts result{QString::fromUtf8(buckets.title), {}, {}};
    for (int bucket = buckets.first; bucket <= buckets.last; ++bucket) {
        result.labels << labelOf(statistic, bucket);
        result.counts << counted.value(bucket, 0);
    }
    return result;
}
