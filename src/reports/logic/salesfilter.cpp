#include "reports/logic/salesfilter.h"

#include "desk/salonschema.h"

std::optional<DateRange> periodRange(SalesPeriod period, const QDate &today)
{
    switch (period) {
    case SalesPeriod::Today:
        return DateRange{today, today};
    case SalesPeriod::Week: {
        const int weekday = today.dayOfWeek(); // Monday 1 .. Sunday 7
        return DateRange{today.addDays(1 - weekday), today.addDays(7 - weekday)};
    }
    case SalesPeriod::Month:
        return DateRange{QDate(today.year(), today.month(), 1),
                         QDate(today.year(), today.month(), today.daysInMonth())};
    case SalesPeriod::Year:
        return DateRange{QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)};
    case SalesPeriod::All:
    case SalesPeriod::Other:
        break;
    }
    return std::nullopt;
}

namespace {

void addRange(Filter &filter, const QString &field, const SalesFilterInput::Range &range)
{
    if (!range.checked)
        return;
    if (range.first)
        filter.append({field, FilterCondition::GreaterOrEqual, *range.first});
    if (range.second)
        filter.append({field, FilterCondition::LessOrEqual, *range.second});
}

} // namespace

Filter salesFilter(const SalesFilterInput &input)
{
    Filter filter;
    if (!input.allPeriods) {
        filter.append({SaleSolarsField::Date, FilterCondition::GreaterOrEqual, input.dates.first});
        filter.append({SaleSolarsField::Date, FilterCondition::LessOrEqual, input.dates.last});
    }
    addRange(filter, SaleSolarsField::Paragon, input.paragons);
    if (input.timeChecked) {
        filter.append({SaleSolarsField::Time, FilterCondition::GreaterOrEqual, input.timeFirst});
        filter.append({SaleSolarsField::Time, FilterCondition::LessOrEqual, input.timeSecond});
    }
    addRange(filter, SaleSolarsField::Solar, input.solars);
    addRange(filter, SaleSolarsField::Off, input.discounts);
    addRange(filter, SaleSolarsField::Period, input.periods);
    if (input.userChecked)
        filter.append({SaleSolarsField::User, FilterCondition::Equal, input.user});
    // Only the days search an index. SQLite cannot see that a ticked "Doklad" with its default
    // bounds covers every receipt and would walk that index instead of the day's few records,
    // or of reading the table straight through. So no filter costs more than a whole scan, and a
    // period never more than its days.
    for (FilterCondition &condition : filter)
        condition.mayUseIndex = condition.field == SaleSolarsField::Date;
    return filter;
}
