#pragma once

#include "data/config/inifile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// One section of the configuration file "Velmora.ini", held in memory: its keys, declared in the
// order they are written, start at their defaults. The stored forms follow the controls the keys
// are named after ("EditPort_Text"):
//   Text     the text without surrounding blanks; read cut to the key's length, when it has one
//   Checked  "True" or "False"; other stored text leaves the value as it is
//   Value    an integer; stored text that is no integer gives 0, the value is held in its range
//   Lines    a section of their own ("SetupSolar.ListBoxOff_Items") holding Count and Item0,
//            Item1, ...; no lines erase that section, and reading keeps the lines unless Count
//            is above 0. A memo's lines read as the memo shows them: one empty line is none.
//   Choice   two exclusive options, each "True" or "False"; a stored "True" chooses its option
// A missing key leaves its value as it is. read() and write() go through the whole file, which is
// replaced whole, so the other sections stay as they were.
class SettingsStore
{
public:
    // The stored layout of the sections; a section written with a lower version is not restored.
    static constexpr int FormVersion = 0;

    using ErrorReport = std::function<void(const ConfigError &)>;

    static QString defaultFileName(); // "Velmora.ini" in the configuration folder
    // Receives the failures that nobody waits for (writes at the end of the run, windows'
    // reads and writes); unset, they go to the debug output.
    static void setErrorReport(ErrorReport report);
    static void report(const ConfigError &error);

    explicit SettingsStore(const QString &section, const QString &fileName = defaultFileName());
    virtual ~SettingsStore() = default;

    const QString &section() const { return m_section; }
    const QString &fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }

    // A failure leaves the values as they were.
    bool read(ConfigError *error = nullptr);
    // As read(), for a look at the stored values that owes the section no write at the end.
    bool peek(ConfigError *error = nullptr);
    bool write(ConfigError *error = nullptr);
    bool hasReadSinceWrite() const { return m_readSinceWrite; }
    // The write at the end of the run: once more when read since the last write.
    void writeIfReadSinceWrite();

    QString text(QLatin1String key) const;
    void setText(QLatin1String key, const QString &text);
    bool checked(QLatin1String key) const;
    void setChecked(QLatin1String key, bool checked);
    int value(QLatin1String key) const;
    void setValue(QLatin1String key, int value);
    QStringList lines(QLatin1String key) const;
    void setLines(QLatin1String key, const QStringList &lines);
    // The choice is true for the first option; the second key names the other one.
    bool firstChosen(QLatin1String firstKey) const { return checked(firstKey); }
    void chooseFirst(QLatin1String firstKey, bool first) { setChecked(firstKey, first); }

protected:
    void addText(QLatin1String key, const QString &defaultText, int maxLength = 0);
    void addChecked(QLatin1String key, bool defaultChecked);
    void addValue(QLatin1String key, int defaultValue, int min, int max);
    enum class LinesShown { AsList, AsMemo };
    void addLines(QLatin1String key, const QStringList &defaultLines, LinesShown shown);
    void addChoice(QLatin1String firstKey, QLatin1String secondKey, bool firstByDefault);

    // After every successful read, for the values that the store keeps tidy.
    virtual void afterRead() {}

private:
    enum class Kind { Text, Checked, Value, Lines, Choice };

    struct Key
    {
        QString name;
        Kind kind = Kind::Text;
        QVariant value;
        int maxLength = 0; // Text: 0 for none
        int min = 0;       // Value
        int max = 0;
        LinesShown shown = LinesShown::AsList;
        QString secondName; // Choice
    };

    bool load(ConfigError *error);
    Key &addKey(QLatin1String name, Kind kind, const QVariant &value);
    Key &key(QLatin1String name);
    const Key &key(QLatin1String name) const;
    QString listSection(const Key &key) const;
    void restore(const IniFile &ini, Key &key) const;
    void save(IniFile &ini, const Key &key) const;

    QString m_section;
    QString m_fileName;
    QList<Key> m_keys;
    bool m_readSinceWrite = false;
};
