#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Table;

// How the customers of the filtered receipts spread over the hours of the day, the days of the
// week, the days of the month and the months of the year. One receipt is one customer.
enum class Statistic { Day, Week, Month, Year };

struct StatisticCounts
{
    QString title;        // "Denní statistika", ...
    QStringList labels;   // one per bucket, in bucket order
    QList<qint64> counts; // one per bucket, 0 where no receipt falls
};

// The receipts that pass the cursor's filter, counted per bucket in one grouped query. Nothing
// after an engine error (the engine keeps its message).
std::optional<StatisticCounts> countCustomers(Table &sales, Statistic statistic);
