#include "data/config/inifile.h"

#include "core/cp1250.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Blanks are the space and the control characters, as the trimming of stored texts treats them.
bool isBlank(QChar ch)
{
    return ch.unicode() <= 0x20;
}

bool isQuote(QChar ch)
{
    return ch == QLatin1Char('"') || ch == QLatin1Char('\'');
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool isStorableSectionName(const QString &name)
{
    return !name.isEmpty() && IniFile::trimBlanks(name) == name && !hasLineBreak(name) &&
           !name.contains(QLatin1Char(']'));
}

bool isStorableKey(const QString &key)
{
    return !key.isEmpty() && IniFile::trimBlanks(key) == key && !hasLineBreak(key) &&
           !key.contains(QLatin1Char('=')) && !key.startsWith(QLatin1Char('[')) &&
           !key.startsWith(QLatin1Char(';'));
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString IniFile::trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text.at(first)))
        ++first;
    while (last > first && isBlank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

IniFile::IniFile(const QString &path) : m_path(path) {}

bool IniFile::load(ConfigError *error)
{
    m_preamble.clear();
    m_sections.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = {QStringLiteral("Konfigurační soubor %1 nelze číst.").arg(m_path),
                      file.errorString()};
        return false;
    }
    parse(file.readAll());
    return true;
}

bool IniFile::loadForRewrite(ConfigError *error)
{
    ConfigError loadError;
    if (load(&loadError))
        return true;
    if (error)
        *error = {QStringLiteral("Unable to write to %1").arg(m_path),
                  loadError.message + QLatin1Char(' ') + loadError.detail};
    return false;
}

bool IniFile::save(ConfigError *error) const
{
    QByteArray content;
    QString reason;
    bool saved = serialize(&content, &reason);
    if (saved && !QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        saved = false;
        reason = QStringLiteral("Složku %1 nelze vytvořit.").arg(QFileInfo(m_path).absolutePath());
    }
    if (saved) {
        const FileResult written = writeFileAtomically(m_path, content);
        saved = written.ok();
        reason = written.message;
    }
    if (!saved && error)
        *error = {QStringLiteral("Unable to write to %1").arg(m_path), reason};
    return saved;
}

void IniFile::parse(const QByteArray &content)
{
    m_preamble.clear();
    m_sections.clear();
    Section *current = nullptr;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = start;
        while (end < content.size() && content.at(end) != '\r' && content.at(end) != '\n')
            ++end;
        const QByteArray line = content.mid(start, end - start);
        start = end + 1;

        const QString text = trimBlanks(Cp1250::decode(line));
        if (text.isEmpty())
            continue;
        if (text.startsWith(QLatin1Char('['))) {
            QString name = text.mid(1);
            const qsizetype close = name.indexOf(QLatin1Char(']'));
            if (close >= 0)
                name.truncate(close);
            name = trimBlanks(name);
            // Later sections of the same name add to the first, which is the one that is read.
            current = findSection(name);
            if (!current) {
                m_sections.append({name, line, {}});
                current = &m_sections.last();
            }
            continue;
        }
        if (!current) {
            m_preamble.append(line);
            continue;
        }
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (text.startsWith(QLatin1Char(';')) || equals <= 0)
            current->entries.append({QString(), QString(), line});
        else
            current->entries.append({trimBlanks(text.left(equals)), text.mid(equals + 1), line});
    }
}

bool IniFile::serialize(QByteArray *content, QString *reason) const
{
    content->clear();
    QByteArray encoded;
    auto appendLine = [&](const QByteArray &original, const QString &text, const QString &failure) {
        if (!original.isEmpty()) {
            encoded = original;
        } else if (hasLineBreak(text)) {
            *reason = failure + QStringLiteral(" Obsahuje konec řádku.");
            return false;
        } else if (!Cp1250::encode(text, &encoded)) {
            *reason = failure + QStringLiteral(" Obsahuje znak, který kódování Windows-1250 nemá.");
            return false;
        }
        content->append(encoded);
        content->append("\r\n", 2);
        return true;
    };

    for (const QByteArray &line : m_preamble)
        appendLine(line, QString(), QString());
    for (const Section &section : m_sections) {
        if (&section != &m_sections.front())
            content->append("\r\n", 2); // one empty line between sections
        const QString failure = QStringLiteral("Název sekce [%1] nelze uložit.").arg(section.name);
        if (section.header.isEmpty() && !isStorableSectionName(section.name)) {
            *reason = failure;
            return false;
        }
        if (!appendLine(section.header, QLatin1Char('[') + section.name + QLatin1Char(']'),
                        failure))
            return false;
        for (const Entry &entry : section.entries) {
            if (entry.line.isEmpty() && !isStorableKey(entry.key)) {
                *reason = QStringLiteral("Klíč „%1“ v sekci [%2] nelze uložit.")
                              .arg(entry.key, section.name);
                return false;
            }
            if (!appendLine(entry.line, entry.key + QLatin1Char('=') + entry.text,
                            QStringLiteral("Hodnotu klíče %1 v sekci [%2] nelze uložit.")
                                .arg(entry.key, section.name)))
                return false;
        }
    }
    return true;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Section &section : m_sections)
        names.append(section.name);
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    if (const Section *found = findSection(section)) {
        for (const Entry &entry : found->entries) {
            if (!entry.key.isEmpty())
                names.append(entry.key);
        }
    }
    return names;
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    const Section *found = findSection(section);
    return found && findEntry(*found, key);
}

QString IniFile::value(const QString &section, const QString &key,
                       const QString &defaultValue) const
{
    const Section *found = findSection(section);
    const Entry *entry = found ? findEntry(*found, key) : nullptr;
    return entry ? valueOf(entry->text) : defaultValue;
}

int IniFile::intValue(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int number = value(section, key).toInt(&ok, 10);
    return ok ? number : defaultValue;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    Section *target = findSection(section);
    if (!target) {
        m_sections.append({section, QByteArray(), {}});
        target = &m_sections.last();
    }
    const QString text = storedText(value);
    bool set = false;
    for (qsizetype i = 0; i < target->entries.size();) {
        Entry &entry = target->entries[i];
        if (entry.key.isEmpty() || !sameName(entry.key, key)) {
            ++i;
        } else if (set) {
            target->entries.removeAt(i); // a later duplicate would hide nothing but confuse
        } else {
            if (entry.text != text)
                entry = {entry.key, text, QByteArray()};
            set = true;
            ++i;
        }
    }
    if (!set)
        target->entries.append({key, text, QByteArray()});
}

void IniFile::removeSection(const QString &section)
{
    m_sections.removeIf(
        [&section](const Section &candidate) { return sameName(candidate.name, section); });
}

void IniFile::replaceSection(const QString &section, const KeyValues &values)
{
    if (values.isEmpty()) {
        removeSection(section);
        return;
    }
    Section *target = findSection(section);
    if (!target) {
        m_sections.append({section, QByteArray(), {}});
        target = &m_sections.last();
    }
    QList<Entry> entries;
    for (const auto &[key, value] : values) {
        const QString text = storedText(value);
        const Entry *old = findEntry(*target, key);
        // An unchanged line keeps its bytes, so rewriting the same list changes nothing.
        entries.append(old && old->text == text ? *old : Entry{key, text, QByteArray()});
    }
    target->entries = entries;
}

QString IniFile::storedText(const QString &value)
{
    if (value.isEmpty())
        return value;
    const QChar first = value.front();
    const QChar last = value.back();
    // Blanks at the ends are quoted too: reading trims them, and list lines must come back whole.
    const bool quoted = (isQuote(first) && last == first) || isBlank(first) || isBlank(last);
    return quoted ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

QString IniFile::valueOf(const QString &storedText)
{
    QString value = trimBlanks(storedText);
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    value.truncate(MaxValueLength);
    return value;
}

IniFile::Section *IniFile::findSection(const QString &name)
{
    for (Section &section : m_sections) {
        if (sameName(section.name, name))
            return &section;
    }
    return nullptr;
}

const IniFile::Section *IniFile::findSection(const QString &name) const
{
    return const_cast<IniFile *>(this)->findSection(name);
}

const IniFile::Entry *IniFile::findEntry(const Section &section, const QString &key)
{
    for (const Entry &entry : section.entries) {
        if (!entry.key.isEmpty() && sameName(entry.key, key))
            return &entry;
    }
    return nullptr;
}
