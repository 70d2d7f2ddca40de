#include "ui/common/integeredit.h"

#include <QKeyEvent>
#include <QMouseEvent>

TIntegerEdit::TIntegerEdit(QWidget *parent) : QLineEdit(QStringLiteral("0"), parent)
{
    // Composed input would bypass the key filter; a number needs no input method.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhDigitsOnly);
    setValidator(new DigitsValidator(this));
}

int TIntegerEdit::value()
{
    const IntegerRules::Reading reading = m_rules.read(text());
    if (reading.clamped)
        setValue(reading.value);
    return reading.value;
}

void TIntegerEdit::setValue(int value)
{
    if (m_rules.showsEmpty(value))
        clear();
    else
        setText(QString::number(value));
}

void TIntegerEdit::setMin(int min)
{
    if (m_rules.setMin(min))
        normalise();
}

void TIntegerEdit::setMax(int max)
{
    if (m_rules.setMax(max))
        normalise();
}

void TIntegerEdit::setZeroEmpty(bool zeroEmpty)
{
    m_rules.setZeroEmpty(zeroEmpty);
    normalise();
}

void TIntegerEdit::keyPressEvent(QKeyEvent *event)
{
    if (m_rules.refusesKey(this, event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TIntegerEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        selectAll();
}
