#include "ui/common/integercombobox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

// The combo box's edit field. Keys reach its keyPressEvent both when it has the focus and when
// the combo box forwards them, so the filter sits here.
class IntegerComboLineEdit : public QLineEdit
{
public:
    IntegerComboLineEdit(const IntegerRules &rules, QWidget *parent)
        : QLineEdit(parent), m_rules(rules)
    {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (m_rules.refusesKey(this, event)) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    const IntegerRules &m_rules;
};

} // namespace

TIntegerComboBox::TIntegerComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    auto *edit = new IntegerComboLineEdit(m_rules, this);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhDigitsOnly);
    setLineEdit(edit);
    setValidator(new DigitsValidator(edit));
    // Neither completing from the list nor adding typed numbers to it.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setEditText(QStringLiteral("0"));
}

int TIntegerComboBox::value()
{
    const IntegerRules::Reading reading = m_rules.read(currentText());
    if (reading.clamped)
        setValue(reading.value);
    return reading.value;
}

void TIntegerComboBox::setValue(int value)
{
    if (m_rules.showsEmpty(value)) {
        clear();
        clearEditText();
    } else
        setEditText(QString::number(value));
}

void TIntegerComboBox::setMin(int min)
{
    if (m_rules.setMin(min))
        normalise();
}

void TIntegerComboBox::setMax(int max)
{
    if (m_rules.setMax(max))
        normalise();
}

void TIntegerComboBox::setZeroEmpty(bool zeroEmpty)
{
    m_rules.setZeroEmpty(zeroEmpty);
    normalise();
}
