#pragma once

// An amount whose fractional part is exactly one half stays as it is; any other amount is
// rounded to the nearest whole number. Prices of runs and their sums go through it.
double RoundPrice(double amount);

// Share of VAT contained in a tax-inclusive amount, cut (not rounded) to four decimals.
// The order of the floating-point operations is part of the result: 25 gives 0.1999.
double TaxCoefficient(int ratePercent);

// Rounds half away from zero to two decimals, as a money text with two decimals shows it.
double roundToCents(double amount);

// Price of one minute after a discount, rounded half away from zero to two decimals, as the
// stop dialog's money field keeps it.
double discountedMinutePrice(double minutePrice, int discountPercent);

// Price of a stopped run as the stop dialog shows it and the sale books it: the rounded minute
// price times the minutes used, through RoundPrice.
double stopPriceTotal(double discountedMinutePrice, int usedSeconds);

// Price of a stored receipt, computed from its fields whenever it is read (never stored).
double receiptPriceTotal(int periodSeconds, double minutePrice, int discountPercent);
