#include "ui/config/settingsstore.h"

#include <QComboBox>
#include <QDebug>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

// A damaged Count must not make a list of millions of lines; no settings list comes near this.
constexpr int MaxListLines = 10000;

QStringList linesOf(const QObject *control)
{
    QStringList lines;
    if (auto *list = qobject_cast<const QListWidget *>(control)) {
        for (int row = 0; row < list->count(); ++row)
            lines.append(list->item(row)->text());
    } else if (auto *memo = qobject_cast<const QPlainTextEdit *>(control)) {
        // Block by block, so that no-break spaces stay as typed; an empty memo has no lines.
        if (!memo->document()->isEmpty()) {
            for (QTextBlock block = memo->document()->begin(); block.isValid();
                 block = block.next())
                lines.append(block.text());
        }
    }
    return lines;
}

void setLines(QObject *control, const QStringList &lines)
{
    if (auto *list = qobject_cast<QListWidget *>(control)) {
        list->clear();
        list->addItems(lines);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
        memo->setPlainText(lines.join(QLatin1Char('\n')));
    }
}

QString textOf(const QObject *control)
{
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    return control->property("text").toString();
}

void setText(QObject *control, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setCurrentText(text);
    else
        control->setProperty("text", text);
}

} // namespace

SettingsStore::SettingsStore(QWidget *window, const QString &section, const QStringList &properties,
                             bool active, const QString &fileName)
    : WindowStore(window, section, active, fileName)
{
    for (const QString &name : properties) {
        const QString component = name.section(QLatin1Char('.'), 0, 0);
        const QString property = name.section(QLatin1Char('.'), 1);
        Kind kind;
        if (property == QLatin1String("Text"))
            kind = Kind::Text;
        else if (property == QLatin1String("Checked"))
            kind = Kind::Checked;
        else if (property == QLatin1String("Value"))
            kind = Kind::Value;
        else if (property == QLatin1String("Items") || property == QLatin1String("Lines"))
            kind = Kind::Lines;
        else {
            qWarning().noquote() << "SettingsStore: no stored form for" << name;
            continue;
        }
        m_properties.append({component, kind, component + QLatin1Char('_') + property});
    }
}

SettingsStore::~SettingsStore()
{
    writeBeforeDestruction();
}

QString SettingsStore::listSection(const StoredProperty &stored) const
{
    return section() + QLatin1Char('.') + stored.key;
}

QObject *SettingsStore::component(const StoredProperty &stored) const
{
    return window()->findChild<QObject *>(stored.component);
}

void SettingsStore::restore(const IniFile &ini)
{
    m_inForce.clear();
    for (const StoredProperty &stored : m_properties) {
        // A control that is missing or refuses the value is passed over; the next one follows.
        QObject *control = component(stored);
        if (control) {
            if (stored.kind == Kind::Lines)
                restoreLines(ini, listSection(stored), control);
            else if (ini.contains(section(), stored.key))
                restoreValue(stored.kind, ini.value(section(), stored.key), control);
        }
        m_inForce.append(control ? valueOf(stored.kind, control) : QVariant());
    }
}

void SettingsStore::revert()
{
    for (qsizetype i = 0; i < m_inForce.size() && i < m_properties.size(); ++i) {
        QObject *control = component(m_properties.at(i));
        if (control && m_inForce.at(i).isValid())
            setValue(m_properties.at(i).kind, m_inForce.at(i), control);
    }
}

QVariant SettingsStore::valueOf(Kind kind, const QObject *control)
{
    switch (kind) {
    case Kind::Text:
        return textOf(control);
    case Kind::Checked:
        return control->property("checked").toBool();
    case Kind::Value:
        return control->property("value").toInt();
    case Kind::Lines:
        return linesOf(control);
    }
    return {};
}

void SettingsStore::setValue(Kind kind, const QVariant &value, QObject *control)
{
    switch (kind) {
    case Kind::Text:
        setText(control, value.toString());
        break;
    case Kind::Checked:
        control->setProperty("checked", value.toBool());
        break;
    case Kind::Value:
        control->setProperty("value", value.toInt());
        break;
    case Kind::Lines:
        setLines(control, value.toStringList());
        break;
    }
}

void SettingsStore::restoreLines(const IniFile &ini, const QString &listSection, QObject *control)
{
    const int count = ini.intValue(listSection, QStringLiteral("Count"), 0);
    if (count <= 0 || count > MaxListLines)
        return; // the control keeps its lines
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(ini.value(listSection, QStringLiteral("Item%1").arg(i)));
    setLines(control, lines);
}

void SettingsStore::restoreValue(Kind kind, const QString &value, QObject *control)
{
    switch (kind) {
    case Kind::Text:
        setText(control, value);
        break;
    case Kind::Checked:
        if (value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            control->setProperty("checked", false);
        else if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            control->setProperty("checked", true);
        break;
    case Kind::Value: {
        bool ok = false;
        const int number = value.toInt(&ok, 10);
        control->setProperty("value", ok ? number : 0);
        break;
    }
    case Kind::Lines: // kept in a section of their own: restoreLines()
        break;
    }
}

void SettingsStore::save(IniFile &ini)
{
    for (const StoredProperty &stored : m_properties) {
        QObject *control = component(stored);
        if (!control) {
            qWarning().noquote() << "SettingsStore: no control" << stored.component << "in"
                                 << section();
            continue;
        }
        switch (stored.kind) {
        case Kind::Text:
            ini.setValue(section(), stored.key, IniFile::trimBlanks(textOf(control)));
            break;
        case Kind::Checked:
            ini.setValue(section(), stored.key,
                         control->property("checked").toBool() ? QStringLiteral("True")
                                                               : QStringLiteral("False"));
            break;
        case Kind::Value:
            ini.setValue(section(), stored.key,
                         QString::number(control->property("value").toInt()));
            break;
        case Kind::Lines: {
            const QStringList lines = linesOf(control);
            IniFile::KeyValues values;
            if (!lines.isEmpty())
                values.append({QStringLiteral("Count"), QString::number(lines.size())});
            for (qsizetype i = 0; i < lines.size(); ++i)
                values.append({QStringLiteral("Item%1").arg(i), lines.at(i)});
            ini.replaceSection(listSection(stored), values);
            break;
        }
        }
    }
}
