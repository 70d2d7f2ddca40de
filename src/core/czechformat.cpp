#include "core/czechformat.h"

#include "core/pricing.h"

#include <cmath>

namespace CzechFormat {

namespace {

const QString CurrencySuffix = QStringLiteral(" Kč");

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Digits of the rounded amount with two decimals, grouped or not, with a leading minus.
QString decimalText(double value, bool grouped)
{
    const double rounded = roundToCents(value);
    const qint64 cents = qint64(std::llround(std::fabs(rounded) * 100.0));
    QString whole = QString::number(cents / 100);
    if (grouped) {
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, QChar(GroupSeparator));
    }
    QString text = whole + QChar(DecimalSeparator) + twoDigits(int(cents % 100));
    if (rounded < 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

} // namespace

QString shortDate(const QDate &date)
{
    return date.toString(QStringLiteral("d.M.yyyy"));
}

QString longTime(const QTime &time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}

QString dateTime(const QDateTime &dateTime)
{
    return shortDate(dateTime.date()) + QLatin1Char(' ') + longTime(dateTime.time());
}

QString amount(double value)
{
    return decimalText(value, true);
}

QString money(double value)
{
    return decimalText(value, true) + CurrencySuffix;
}

QString moneyPadded(double value, int width)
{
    return money(value).rightJustified(width, QLatin1Char(' '));
}

QString fixed2(double value)
{
    return decimalText(value, false);
}

QString receiptNumber(qint64 number)
{
    return QStringLiteral("%1").arg(number, 9, 10, QLatin1Char('0'));
}

QString minutesSeconds(int minutes, int seconds)
{
    return twoDigits(minutes) + QLatin1Char(':') + twoDigits(seconds);
}

QString period(int seconds)
{
    return minutesSeconds(seconds / 60, seconds % 60);
}

bool parseAmount(const QString &text, double *value)
{
    QString plain = text.trimmed();
    if (plain.endsWith(QStringLiteral("Kč")))
        plain.chop(2);
    plain.remove(QChar(GroupSeparator));
    plain.remove(QLatin1Char(' '));
    plain.replace(QChar(DecimalSeparator), QLatin1Char('.'));
    bool ok = false;
    const double parsed = plain.toDouble(&ok);
    if (ok && std::isfinite(parsed))
        *value = parsed;
    return ok && std::isfinite(parsed);
}

QDate parseShortDate(const QString &text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("d.M.yyyy"));
}

QTime parseLongTime(const QString &text)
{
    return QTime::fromString(text.trimmed(), QStringLiteral("H:mm:ss"));
}

} // namespace CzechFormat
