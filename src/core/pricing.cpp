#include "core/pricing.h"

#include <cmath>

double RoundPrice(double amount)
{
    if (std::fabs(amount - std::trunc(amount)) == 0.5)
        return amount;
    return std::round(amount);
}

double TaxCoefficient(int ratePercent)
{
    const double share = 1.0 - 100.0 / (ratePercent + 100.0);
    return std::trunc(share * 10000.0) / 10000.0;
}

double roundToCents(double amount)
{
    // Round what a decimal text of the amount shows: first drop the binary noise below a
    // millionth of a cent (6.675 is stored as 6.67499...), then round half away from zero.
    const double cents = std::round(amount * 100.0 * 1e6) / 1e6;
    const double rounded = std::round(cents) / 100.0;
    return rounded == 0.0 ? 0.0 : rounded; // no "-0,00"
}

double discountedMinutePrice(double minutePrice, int discountPercent)
{
    return roundToCents(minutePrice * (100 - discountPercent) / 100.0);
}

double stopPriceTotal(double discountedMinutePrice, int usedSeconds)
{
    return RoundPrice(discountedMinutePrice * (usedSeconds / 60.0));
}

double receiptPriceTotal(int periodSeconds, double minutePrice, int discountPercent)
{
    return RoundPrice((periodSeconds / 60.0) * (minutePrice * (100 - discountPercent) / 100.0));
}
