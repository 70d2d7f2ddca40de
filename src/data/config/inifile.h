#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A failed read or write of a configuration file, as a two-part message: the headline names the
// file, the detail says why in Czech.
struct ConfigError
{
    QString message;
    QString detail;
};

// An ini file in Windows-1250, held in memory and written back whole.
//
// Sections and keys keep the order in which they first appeared; names are matched without regard
// to letter case and the first of duplicate names wins, as the platform's profile functions do.
// Lines that were read and not changed since are written back byte for byte, so comments, odd
// lines and bytes without a character survive a rewrite. Values follow the quote rule: a value
// that would not read back as itself is stored inside an extra pair of double quotes.
class IniFile
{
public:
    using KeyValues = QList<std::pair<QString, QString>>;

    // A value read back is cut to this many characters, as the profile functions' buffer does.
    static constexpr qsizetype MaxValueLength = 2047;

    explicit IniFile(const QString &path);

    const QString &path() const { return m_path; }

    // Reads the file; a missing file reads as an empty one.
    bool load(ConfigError *error);
    // Reads the file before some of its sections are written anew; a file that cannot be read
    // is refused as "Unable to write to", since writing over it would lose its other sections.
    bool loadForRewrite(ConfigError *error);
    // Replaces the whole file atomically (CR LF line ends), creating its folder when needed.
    // Nothing is written when a changed name or value cannot be stored.
    bool save(ConfigError *error) const;

    void parse(const QByteArray &content);
    // The file's bytes; false with *reason set when a changed name or value cannot be stored.
    bool serialize(QByteArray *content, QString *reason) const;

    QStringList sections() const;
    QStringList keys(const QString &section) const;
    bool contains(const QString &section, const QString &key) const;

    // The value without surrounding blanks and one pair of matching quotes; missing: the default.
    QString value(const QString &section, const QString &key,
                  const QString &defaultValue = QString()) const;
    // A missing key or a value that is no decimal integer gives the default.
    int intValue(const QString &section, const QString &key, int defaultValue) const;

    void setValue(const QString &section, const QString &key, const QString &value);
    void removeSection(const QString &section);
    // Erases the section and writes the keys anew, keeping the section's place in the file;
    // with no keys the section disappears.
    void replaceSection(const QString &section, const KeyValues &values);

    // Drops the blanks (the space and the control characters) at both ends.
    static QString trimBlanks(const QString &text);

    // The quote rule: the text stored for a value, and the value that a stored text reads as.
    static QString storedText(const QString &value);
    static QString valueOf(const QString &storedText);

private:
    // A key and its stored text; a null key keeps a line that holds no key (a comment).
    struct Entry
    {
        QString key;
        QString text;
        QByteArray line; // the bytes read from the file, cleared when the entry changes
    };
    struct Section
    {
        QString name;
        QByteArray header;
        QList<Entry> entries;
    };

    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;
    static const Entry *findEntry(const Section &section, const QString &key);

    QString m_path;
    QList<QByteArray> m_preamble; // lines before the first section, kept as they are
    QList<Section> m_sections;
};
