#pragma once

#include "data/table.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

// The sales browser's choice of days.
enum class SalesPeriod { All, Today, Week, Month, Year, Other };

struct DateRange
{
    QDate first;
    QDate last;
};

// The days a period covers on the given day: the week runs from Monday to Sunday, so a Sunday
// belongs to the week that ends on it. None for All (no date condition) and Other (the user's
// own dates).
std::optional<DateRange> periodRange(SalesPeriod period, const QDate &today);

// What the browser's filter controls say. An empty edit is a missing bound.
struct SalesFilterInput
{
    struct Range
    {
        bool checked = false;
        std::optional<int> first;
        std::optional<int> second;
    };

    bool allPeriods = true;
    DateRange dates;
    Range paragons;
    bool timeChecked = false;
    QTime timeFirst;
    QTime timeSecond;
    Range solars;
    Range discounts;
    Range periods;
    bool userChecked = false;
    QString user;
};

// The receipts' filter: each condition a bound value, so any text is matched literally.
Filter salesFilter(const SalesFilterInput &input);
