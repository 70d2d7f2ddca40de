#include "data/display.h"

#include "core/czechformat.h"

#include <QDate>
#include <QTime>

QString FieldDisplay::text(FieldType type, const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (displayFormat == QLatin1String(",0.00"))
        return CzechFormat::amount(value.toDouble());
    if (displayFormat == QLatin1String("000000000"))
        return CzechFormat::receiptNumber(value.toLongLong());
    switch (type) {
    case FieldType::Logical: {
        const QStringList texts = displayValues.split(QLatin1Char(';'));
        if (texts.size() == 2)
            return value.toBool() ? texts.at(0) : texts.at(1);
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    }
    case FieldType::Money:
        return CzechFormat::amount(value.toDouble());
    case FieldType::Float:
        return QString::number(value.toDouble())
            .replace(QLatin1Char('.'), QChar(CzechFormat::DecimalSeparator));
    case FieldType::Date:
        return CzechFormat::shortDate(value.toDate());
    case FieldType::Time:
        return CzechFormat::longTime(value.toTime());
    default:
        return value.toString();
    }
}
