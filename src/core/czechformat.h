#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The desk's fixed Czech formats. Every window, file and report formats dates, times and
// amounts through these functions and nowhere else.
namespace CzechFormat {

inline constexpr char16_t GroupSeparator = 0x00A0; // no-break space, byte 0xA0 in Windows-1250
inline constexpr char16_t DecimalSeparator = u',';

QString shortDate(const QDate &date);        // 9.12.2026
QString longTime(const QTime &time);         // 9:05:00
QString dateTime(const QDateTime &dateTime); // 9.12.2026 9:05:00

QString amount(double value);                 // 1 234,50 (display format ",0.00")
QString money(double value);                  // 1 234,50 Kč ("%.2m")
QString moneyPadded(double value, int width); // "%10.2m": money right-aligned in width characters
QString fixed2(double value);                 // 1234,50 ("%.2f" with the Czech decimal comma)

QString receiptNumber(qint64 number);             // 000000042
QString minutesSeconds(int minutes, int seconds); // 05:30, and 00:99 as typed
QString period(int seconds);                      // 754 gives 12:34

// Reads an amount as staff type or see it: "1 234,50", "1234.5", "-300", "12,00 Kč".
bool parseAmount(const QString &text, double *value);
// Reads the short date and long time forms back (also with leading zeros).
QDate parseShortDate(const QString &text);
QTime parseLongTime(const QString &text);

} // namespace CzechFormat
