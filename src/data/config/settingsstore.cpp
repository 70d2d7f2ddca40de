#include "data/config/settingsstore.h"

#include "core/paths.h"

#include <QDebug>

#include <algorithm>

namespace {

// A damaged Count must not make a list of millions of lines; no settings list comes near this.
constexpr int MaxListLines = 10000;

const QString True = QStringLiteral("True");
const QString False = QStringLiteral("False");

SettingsStore::ErrorReport &errorReport()
{
    static SettingsStore::ErrorReport report;
    return report;
}

// A memo shows its lines joined; read back it has none when that text is empty.
QStringList asShown(const QStringList &lines, bool memo)
{
    if (!memo)
        return lines;
    const QString text = lines.join(QLatin1Char('\n'));
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

} // namespace

QString SettingsStore::defaultFileName()
{
    return JoinPath(configDirectory(), QStringLiteral("Velmora.ini"));
}

void SettingsStore::setErrorReport(ErrorReport report)
{
    errorReport() = std::move(report);
}

void SettingsStore::report(const ConfigError &error)
{
    if (errorReport())
        errorReport()(error);
    else
        qWarning().noquote() << error.message << error.detail;
}

SettingsStore::SettingsStore(const QString &section, const QString &fileName)
    : m_section(section), m_fileName(fileName)
{}

SettingsStore::Key &SettingsStore::addKey(QLatin1String name, Kind kind, const QVariant &value)
{
    Key added;
    added.name = name;
    added.kind = kind;
    added.value = value;
    m_keys.append(added);
    return m_keys.last();
}

void SettingsStore::addText(QLatin1String key, const QString &defaultText, int maxLength)
{
    addKey(key, Kind::Text, defaultText).maxLength = maxLength;
}

void SettingsStore::addChecked(QLatin1String key, bool defaultChecked)
{
    addKey(key, Kind::Checked, defaultChecked);
}

void SettingsStore::addValue(QLatin1String key, int defaultValue, int min, int max)
{
    Key &added = addKey(key, Kind::Value, defaultValue);
    added.min = min;
    added.max = max;
}

void SettingsStore::addLines(QLatin1String key, const QStringList &defaultLines, LinesShown shown)
{
    addKey(key, Kind::Lines, defaultLines).shown = shown;
}

void SettingsStore::addChoice(QLatin1String firstKey, QLatin1String secondKey, bool firstByDefault)
{
    addKey(firstKey, Kind::Choice, firstByDefault).secondName = secondKey;
}

SettingsStore::Key &SettingsStore::key(QLatin1String name)
{
    return const_cast<Key &>(std::as_const(*this).key(name));
}

const SettingsStore::Key &SettingsStore::key(QLatin1String name) const
{
    const auto found = std::find_if(m_keys.cbegin(), m_keys.cend(),
                                    [name](const Key &key) { return key.name == name; });
    if (found == m_keys.cend())
        qFatal("SettingsStore: no key %s in %s", name.data(), qPrintable(m_section));
    return *found;
}

QString SettingsStore::text(QLatin1String name) const
{
    return key(name).value.toString();
}

void SettingsStore::setText(QLatin1String name, const QString &text)
{
    key(name).value = text;
}

bool SettingsStore::checked(QLatin1String name) const
{
    return key(name).value.toBool();
}

void SettingsStore::setChecked(QLatin1String name, bool checked)
{
    key(name).value = checked;
}

int SettingsStore::value(QLatin1String name) const
{
    return key(name).value.toInt();
}

void SettingsStore::setValue(QLatin1String name, int value)
{
    key(name).value = value;
}

QStringList SettingsStore::lines(QLatin1String name) const
{
    return key(name).value.toStringList();
}

void SettingsStore::setLines(QLatin1String name, const QStringList &lines)
{
    Key &lineKey = key(name);
    lineKey.value = asShown(lines, lineKey.shown == LinesShown::AsMemo);
}

QString SettingsStore::listSection(const Key &key) const
{
    return m_section + QLatin1Char('.') + key.name;
}

bool SettingsStore::read(ConfigError *error)
{
    m_readSinceWrite = true;
    return load(error);
}

bool SettingsStore::peek(ConfigError *error)
{
    return load(error);
}

bool SettingsStore::load(ConfigError *error)
{
    IniFile ini(m_fileName);
    if (!ini.load(error))
        return false;
    if (ini.intValue(m_section, QStringLiteral("FormVersion"), 0) >= FormVersion) {
        for (Key &each : m_keys)
            restore(ini, each);
    }
    afterRead();
    return true;
}

void SettingsStore::restore(const IniFile &ini, Key &key) const
{
    if (key.kind == Kind::Lines) {
        const QString lines = listSection(key);
        const int count = ini.intValue(lines, QStringLiteral("Count"), 0);
        if (count <= 0 || count > MaxListLines)
            return;
        QStringList items;
        for (int i = 0; i < count; ++i)
            items.append(ini.value(lines, QStringLiteral("Item%1").arg(i)));
        key.value = asShown(items, key.shown == LinesShown::AsMemo);
        return;
    }
    const auto stored = [&ini, this](const QString &name) -> std::optional<QString> {
        if (!ini.contains(m_section, name))
            return std::nullopt;
        return ini.value(m_section, name);
    };
    const auto isTrue = [](const std::optional<QString> &text) {
        return text && text->compare(True, Qt::CaseInsensitive) == 0;
    };
    const std::optional<QString> text = stored(key.name);
    switch (key.kind) {
    case Kind::Text:
        if (text)
            key.value = key.maxLength > 0 ? text->left(key.maxLength) : *text;
        break;
    case Kind::Checked:
        if (isTrue(text))
            key.value = true;
        else if (text && text->compare(False, Qt::CaseInsensitive) == 0)
            key.value = false;
        break;
    case Kind::Value:
        if (text) {
            bool ok = false;
            const int number = text->toInt(&ok, 10);
            key.value = std::clamp(ok ? number : 0, key.min, key.max);
        }
        break;
    case Kind::Choice:
        // The options exclude each other: a "False" unchooses nothing, the second "True" wins.
        if (isTrue(text))
            key.value = true;
        if (isTrue(stored(key.secondName)))
            key.value = false;
        break;
    case Kind::Lines:
        break;
    }
}

bool SettingsStore::write(ConfigError *error)
{
    IniFile ini(m_fileName);
    if (!ini.loadForRewrite(error))
        return false;
    ini.setValue(m_section, QStringLiteral("FormVersion"), QString::number(FormVersion));
    for (const Key &each : std::as_const(m_keys))
        save(ini, each);
    if (!ini.save(error))
        return false;
    m_readSinceWrite = false;
    return true;
}

void SettingsStore::writeIfReadSinceWrite()
{
    ConfigError error;
    if (m_readSinceWrite && !write(&error))
        report(error);
}

void SettingsStore::save(IniFile &ini, const Key &key) const
{
    switch (key.kind) {
    case Kind::Text:
        ini.setValue(m_section, key.name, IniFile::trimBlanks(key.value.toString()));
        break;
    case Kind::Checked:
        ini.setValue(m_section, key.name, key.value.toBool() ? True : False);
        break;
    case Kind::Value:
        ini.setValue(m_section, key.name, QString::number(key.value.toInt()));
        break;
    case Kind::Choice:
        ini.setValue(m_section, key.name, key.value.toBool() ? True : False);
        ini.setValue(m_section, key.secondName, key.value.toBool() ? False : True);
        break;
    case Kind::Lines: {
        const QStringList lines = key.value.toStringList();
        IniFile::KeyValues values;
        if (!lines.isEmpty())
            values.append({QStringLiteral("Count"), QString::number(lines.size())});
        for (qsizetype i = 0; i < lines.size(); ++i)
            values.append({QStringLiteral("Item%1").arg(i), lines.at(i)});
        ini.replaceSection(listSection(key), values);
        break;
    }
    }
}
