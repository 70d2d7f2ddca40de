#pragma once

#include "ui/config/windowstore.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The stored controls of a settings window, named "Component.Property" in the order they are
// written, for example "EditPort.Text". A control is found by its object name among the window's
// children. The property decides the stored form:
//   Text     key EditPort_Text, the text without surrounding blanks (QLineEdit, or the current
//            text of an editable QComboBox)
//   Checked  "True" or "False"; other stored text leaves the control as it is
//   Value    the integer of the control's "value" property; stored text that is no integer gives 0
//   Items, Lines  the lines of a QListWidget or a QPlainTextEdit, in a section of their own
//            ("SetupSolar.ListBoxOff_Items") holding Count and Item0, Item1, ...; an empty list
//            erases that section, and reading keeps the control's lines unless Count is above 0
// A missing key leaves its control as it is, so the controls' initial values are the defaults.
// Every read also notes the values then in force, stored or default, for revert().
class SettingsStore final : public WindowStore
{
    Q_OBJECT

public:
    SettingsStore(QWidget *window, const QString &section, const QStringList &properties,
                  bool active = true, const QString &fileName = defaultFileName());
    ~SettingsStore() override;

    // Puts back the values in force at the last read, the window's opening: "Storno" drops every
    // edit with it, also of values that were never stored. The write on closing then keeps them.
    void revert();

protected:
    void restore(const IniFile &ini) override;
    void save(IniFile &ini) override;

private:
    enum class Kind { Text, Checked, Value, Lines };

    struct StoredProperty
    {
        QString component;
        Kind kind;
        QString key; // "EditPort_Text"
    };

    static void restoreLines(const IniFile &ini, const QString &listSection, QObject *control);
    static void restoreValue(Kind kind, const QString &value, QObject *control);
    static QVariant valueOf(Kind kind, const QObject *control);
    static void setValue(Kind kind, const QVariant &value, QObject *control);

    QString listSection(const StoredProperty &stored) const;
    QObject *component(const StoredProperty &stored) const;

    QList<StoredProperty> m_properties;
    QVariantList m_inForce; // one entry per stored property, invalid where its control is missing
};
