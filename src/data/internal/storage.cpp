#include "data/internal/storage.h"

#include "core/cp1250.h"
#include "core/czechformat.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <cmath>
#include <limits>

namespace Storage {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString TimeFormat = QStringLiteral("HH:mm:ss");

EngineError invalidValue(const FieldDefinition &field, const QVariant &value)
{
    return EngineError(
        EngineErrorCode::InvalidValue,
        QStringLiteral("Hodnota \"%1\" není platná pro pole %2 typu %3")
            .arg(value.toString().left(24), field.name, fieldTypeText(field.type, field.size)));
}

std::optional<qint64> integerValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (!std::isfinite(number) || number != std::trunc(number) || std::fabs(number) > 9e15)
            return std::nullopt;
        return qint64(number);
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 number = value.toString().trimmed().toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    default: {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    }
}

bool integerInRange(const FieldDefinition &field, const QVariant &value, qint64 low, qint64 high,
                    QVariant *stored, EngineError *error)
{
    const std::optional<qint64> number = integerValue(value);
    if (!number) {
        *error = invalidValue(field, value);
        return false;
    }
    if (*number < low || *number > high) {
        *error = EngineError(EngineErrorCode::ValueOutOfRange,
                             QStringLiteral("Hodnota %1 pole %2 je mimo rozsah %3 až %4")
                                 .arg(*number)
                                 .arg(field.name)
                                 .arg(low)
                                 .arg(high));
        return false;
    }
    *stored = *number;
    return true;
}

bool realValue(const FieldDefinition &field, const QVariant &value, QVariant *stored,
               EngineError *error)
{
    bool ok = false;
    double number = 0;
    if (value.typeId() == QMetaType::QString)
        ok = CzechFormat::parseAmount(value.toString(), &number);
    else
        number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        *error = invalidValue(field, value);
        return false;
    }
    *stored = number;
    return true;
}

bool textValue(const FieldDefinition &field, const QVariant &value, QVariant *stored,
               EngineError *error)
{
    const QString text = value.toString();
    if (field.size > 0 && text.size() > field.size) {
        *error = EngineError(
            EngineErrorCode::ValueTooLong,
            QStringLiteral("Text pole %1 je delší než %2 znaků").arg(field.name).arg(field.size));
        return false;
    }
    if (!Cp1250::canEncode(text)) {
        *error = EngineError(EngineErrorCode::InvalidValue,
                             QStringLiteral("Text pole %1 obsahuje znak mimo kódování Windows-1250")
                                 .arg(field.name));
        return false;
    }
    *stored = text;
    return true;
}

bool dateValue(const FieldDefinition &field, const QVariant &value, QVariant *stored,
               EngineError *error)
{
    QDate date;
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
        date = value.toDate();
        if (date.isNull()) {
            *stored = QString();
            return true;
        }
    } else {
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            *stored = QString();
            return true;
        }
        date = QDate::fromString(text, DateFormat);
        if (!date.isValid())
            date = CzechFormat::parseShortDate(text);
    }
    if (!date.isValid() || date.year() < 1 || date.year() > 9999) {
        *error = invalidValue(field, value);
        return false;
    }
    *stored = date.toString(DateFormat);
    return true;
}

bool timeValue(const FieldDefinition &field, const QVariant &value, QVariant *stored,
               EngineError *error)
{
    QTime time;
    if (value.typeId() == QMetaType::QTime || value.typeId() == QMetaType::QDateTime) {
        time = value.toTime();
        if (time.isNull()) {
            *stored = QString();
            return true;
        }
    } else {
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            *stored = QString();
            return true;
        }
        time = QTime::fromString(text, TimeFormat);
        if (!time.isValid())
            time = CzechFormat::parseLongTime(text);
    }
    if (!time.isValid()) {
        *error = invalidValue(field, value);
        return false;
    }
    *stored = time.toString(TimeFormat);
    return true;
}

} // namespace

QString quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString columnSql(const FieldDefinition &field)
{
    const QString column = quoted(field.name);
    QString declared;
    QString defaultValue = QStringLiteral("0");
    QString check;
    switch (field.type) {
    case FieldType::Short:
        declared = QStringLiteral("SHORT INTEGER");
        check = QStringLiteral("typeof(%1) = 'integer' AND %1 BETWEEN -32768 AND 32767");
        break;
    case FieldType::LongInteger:
        declared = QStringLiteral("LONG INTEGER");
        check = QStringLiteral("typeof(%1) = 'integer' AND %1 BETWEEN -2147483648 AND 2147483647");
        break;
    case FieldType::Logical:
        declared = QStringLiteral("LOGICAL INTEGER");
        check = QStringLiteral("typeof(%1) = 'integer' AND %1 IN (0, 1)");
        break;
    case FieldType::Alpha:
        declared = QStringLiteral("ALPHA TEXT(%1)").arg(field.size);
        defaultValue = QStringLiteral("''");
        check =
            QStringLiteral("typeof(%1) = 'text' AND length(%1) <= ") + QString::number(field.size);
        break;
    case FieldType::Money:
    case FieldType::Float:
        declared = field.type == FieldType::Money ? QStringLiteral("MONEY REAL")
                                                  : QStringLiteral("FLOAT REAL");
        check = QStringLiteral("typeof(%1) = 'real'");
        break;
    case FieldType::Date:
        declared = QStringLiteral("DATE TEXT");
        defaultValue = QStringLiteral("''");
        check = QStringLiteral("%1 = '' OR (length(%1) = 10 AND date(%1, '+0 days') IS %1)");
        break;
    case FieldType::Time:
        declared = QStringLiteral("TIME TEXT");
        defaultValue = QStringLiteral("''");
        check = QStringLiteral("%1 = '' OR (length(%1) = 8 AND time(%1) IS %1)");
        break;
    }
    return QStringLiteral("%1 %2 NOT NULL DEFAULT %3 CHECK (%4)")
        .arg(column, declared, defaultValue, check.arg(column));
}

FieldDefinition fieldFromDeclaration(const QString &name, const QString &declaredType)
{
    FieldDefinition field;
    field.name = name;
    const QString type = declaredType.trimmed().toUpper();
    const QString word = type.section(QLatin1Char(' '), 0, 0).section(QLatin1Char('('), 0, 0);
    if (word == QLatin1String("SHORT")) {
        field.type = FieldType::Short;
    } else if (word == QLatin1String("LONG")) {
        field.type = FieldType::LongInteger;
    } else if (word == QLatin1String("LOGICAL")) {
        field.type = FieldType::Logical;
    } else if (word == QLatin1String("ALPHA")) {
        field.type = FieldType::Alpha;
        static const QRegularExpression sizePattern(QStringLiteral("\\((\\d+)\\)"));
        const QRegularExpressionMatch match = sizePattern.match(type);
        field.size = match.hasMatch() ? match.captured(1).toInt() : 0;
    } else if (word == QLatin1String("MONEY")) {
        field.type = FieldType::Money;
    } else if (word == QLatin1String("DATE")) {
        field.type = FieldType::Date;
    } else if (word == QLatin1String("TIME")) {
        field.type = FieldType::Time;
    } else if (word == QLatin1String("FLOAT")) {
        field.type = FieldType::Float;
    } else if (type.contains(QLatin1String("INT"))) {
        field.type = FieldType::LongInteger;
    } else if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
               type.contains(QLatin1String("DOUB"))) {
        field.type = FieldType::Float;
    } else {
        field.type = FieldType::Alpha; // text and anything unknown: shown as text, no limit
    }
    return field;
}

bool toStorage(const FieldDefinition &field, const QVariant &value, QVariant *stored,
               EngineError *error)
{
    if (value.isNull() && value.typeId() != QMetaType::QDate &&
        value.typeId() != QMetaType::QTime) {
        switch (field.type) {
        case FieldType::Alpha:
        case FieldType::Date:
        case FieldType::Time:
            *stored = QString();
            return true;
        case FieldType::Money:
        case FieldType::Float:
            *stored = 0.0;
            return true;
        default:
            *stored = qint64(0);
            return true;
        }
    }
    switch (field.type) {
    case FieldType::Short:
        return integerInRange(field, value, -32768, 32767, stored, error);
    case FieldType::LongInteger:
        return integerInRange(field, value, std::numeric_limits<qint32>::min(),
                              std::numeric_limits<qint32>::max(), stored, error);
    case FieldType::Logical:
        return integerInRange(field, value, 0, 1, stored, error);
    case FieldType::Alpha:
        return textValue(field, value, stored, error);
    case FieldType::Money:
    case FieldType::Float:
        return realValue(field, value, stored, error);
    case FieldType::Date:
        return dateValue(field, value, stored, error);
    case FieldType::Time:
        return timeValue(field, value, stored, error);
    }
    *error = invalidValue(field, value);
    return false;
}

QVariant fromStorage(const FieldDefinition &field, const QVariant &stored)
{
    switch (field.type) {
    case FieldType::Short:
    case FieldType::LongInteger:
        return stored.isNull() ? QVariant() : QVariant(stored.toInt());
    case FieldType::Logical:
        return stored.isNull() ? QVariant() : QVariant(stored.toLongLong() != 0);
    case FieldType::Alpha:
        return stored.isNull() ? QVariant() : QVariant(stored.toString());
    case FieldType::Money:
    case FieldType::Float:
        return stored.isNull() ? QVariant() : QVariant(stored.toDouble());
    case FieldType::Date:
        return QVariant(QDate::fromString(stored.toString(), DateFormat));
    case FieldType::Time:
        return QVariant(QTime::fromString(stored.toString(), TimeFormat));
    }
    return stored;
}

} // namespace Storage
