#include "data/fields.h"

FieldList::FieldList(QList<FieldDefinition> fields) : m_fields(std::move(fields))
{
    // Stored fields come first; the count tells where the calculated ones begin.
    std::stable_partition(m_fields.begin(), m_fields.end(),
                          [](const FieldDefinition &field) { return !field.calculated; });
    m_storedCount =
        int(std::count_if(m_fields.cbegin(), m_fields.cend(),
                          [](const FieldDefinition &field) { return !field.calculated; }));
}

int FieldList::indexOf(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QStringList FieldList::names() const
{
    QStringList names;
    for (const FieldDefinition &field : m_fields)
        names.append(field.name);
    return names;
}

Record::Record(std::shared_ptr<const FieldList> fields) : m_fields(std::move(fields))
{
    m_values.resize(m_fields->count());
}

const FieldList &Record::fields() const
{
    static const FieldList none;
    return m_fields ? *m_fields : none;
}

QVariant Record::value(int index) const
{
    return index >= 0 && index < m_values.size() ? m_values.at(index) : QVariant();
}

QVariant Record::value(const QString &name) const
{
    return m_fields ? value(m_fields->indexOf(name)) : QVariant();
}

void Record::setValue(int index, const QVariant &value)
{
    if (index >= 0 && index < m_values.size())
        m_values[index] = value;
}

bool Record::setValue(const QString &name, const QVariant &value)
{
    const int index = m_fields ? m_fields->indexOf(name) : -1;
    if (index < 0)
        return false;
    m_values[index] = value;
    return true;
}

bool isNumberType(FieldType type)
{
    return type == FieldType::Short || type == FieldType::LongInteger || type == FieldType::Money ||
           type == FieldType::Float;
}

QString fieldTypeText(FieldType type, int size)
{
    switch (type) {
    case FieldType::Short:
        return QStringLiteral("Short");
    case FieldType::LongInteger:
        return QStringLiteral("Long Integer");
    case FieldType::Logical:
        return QStringLiteral("Logical");
    case FieldType::Alpha:
        return QStringLiteral("Alpha(%1)").arg(size);
    case FieldType::Money:
        return QStringLiteral("Money");
    case FieldType::Date:
        return QStringLiteral("Date");
    case FieldType::Time:
        return QStringLiteral("Time");
    case FieldType::Float:
        return QStringLiteral("Float");
    }
    return QString();
}
