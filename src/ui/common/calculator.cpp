#include "ui/common/calculator.h"

#include "core/czechformat.h"

#include <cmath>

void Calculator::start(double value)
{
    clear();
    m_shown = value;
}

void Calculator::clear()
{
    *this = Calculator();
}

void Calculator::inputDigit(int digit)
{
    if (m_error)
        clear();
    if (digit < 0 || digit > 9 || m_entry.size() >= MaxEntryLength)
        return;
    if (m_entry == QLatin1String("0"))
        m_entry.clear(); // no leading zeros
    m_entry += QChar(u'0' + digit);
}

void Calculator::inputComma()
{
    if (m_error)
        clear();
    if (m_entry.contains(QChar(CzechFormat::DecimalSeparator)) ||
        m_entry.size() + 2 > MaxEntryLength)
        return;
    if (m_entry.isEmpty())
        m_entry = QStringLiteral("0");
    m_entry += QChar(CzechFormat::DecimalSeparator);
}

void Calculator::removeLastCharacter()
{
    if (!m_error)
        m_entry.chop(1);
}

void Calculator::setOperation(Operation operation)
{
    if (m_error)
        return;
    if (!m_entry.isEmpty()) {
        const double operand = entryValue();
        m_entry.clear();
        if (m_pending == Operation::None)
            m_accumulator = operand;
        else if (!applyPending(operand))
            return;
        m_shown = m_accumulator;
    } else if (m_pending == Operation::None) {
        m_accumulator = m_shown;
    }
    m_pending = operation; // a second operation key in a row replaces the first
}

void Calculator::equals()
{
    if (m_error)
        return;
    if (m_pending == Operation::None) {
        if (!m_entry.isEmpty())
            m_shown = entryValue();
    } else if (!applyPending(m_entry.isEmpty() ? m_shown : entryValue())) {
        return;
    } else {
        m_shown = m_accumulator;
    }
    m_entry.clear();
    m_pending = Operation::None;
}

bool Calculator::applyPending(double operand)
{
    switch (m_pending) {
    case Operation::None:
        m_accumulator = operand;
        break;
    case Operation::Add:
        m_accumulator += operand;
        break;
    case Operation::Subtract:
        m_accumulator -= operand;
        break;
    case Operation::Multiply:
        m_accumulator *= operand;
        break;
    case Operation::Divide:
        if (operand == 0.0) {
            m_error = true;
            return false;
        }
        m_accumulator /= operand;
        break;
    }
    if (!std::isfinite(m_accumulator)) {
        m_error = true;
        return false;
    }
    return true;
}

double Calculator::entryValue() const
{
    double value = 0.0;
    return CzechFormat::parseAmount(m_entry, &value) ? value : 0.0;
}

double Calculator::value() const
{
    return m_entry.isEmpty() ? m_shown : entryValue();
}

QString Calculator::display() const
{
    if (m_error)
        return QStringLiteral("Chyba");
    return m_entry.isEmpty() ? CzechFormat::amount(m_shown) : m_entry;
}
