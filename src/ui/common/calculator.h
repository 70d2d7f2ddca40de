#pragma once

#include <QString>

// The arithmetic of the money fields' drop-down calculator: a pocket calculator that works left
// to right (2 + 3 × 4 gives 20), with one operand being typed at a time.
class Calculator
{
public:
    enum class Operation { None, Add, Subtract, Multiply, Divide };

    // The typed operand never grows beyond what a money field holds.
    static constexpr int MaxEntryLength = 10;

    // Shows the value as a finished result: a digit starts a new number, an operation uses it.
    void start(double value);
    void clear();

    void inputDigit(int digit);
    void inputComma();
    void removeLastCharacter();
    void setOperation(Operation operation);
    // Completes the pending operation; the result is then value().
    void equals();
    // Shows the error text until the next digit or clear (a result that cannot be used).
    void markError() { m_error = true; }

    bool hasError() const { return m_error; }
    double value() const;
    // "Chyba" after an error, the operand as typed, or the last result as an amount.
    QString display() const;

private:
    double entryValue() const;
    bool applyPending(double operand);

    double m_accumulator = 0.0;
    double m_shown = 0.0;
    Operation m_pending = Operation::None;
    QString m_entry; // the operand being typed; empty while a result is shown
    bool m_error = false;
};
