#pragma once

#include <QLineEdit>

class QToolButton;

// A money field: an amount in crowns, shown with two decimals and thousands grouping while the
// field is left, and in its plain form ("1234,50") while it is edited. Keys are filtered as they
// are typed: digits, one decimal comma (a full stop types a comma), at most two decimals, a
// leading minus when negative amounts are allowed, at most MaxLength characters. The button at
// its right edge (or Alt+Down, F4) opens a drop-down calculator whose "=" puts the result in.
// The text is the only storage of the value.
class CurrencyEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged USER true)
    Q_PROPERTY(bool allowNegative READ allowNegative WRITE setAllowNegative)

public:
    static constexpr int MaxLength = 10; // of the plain form

    explicit CurrencyEdit(QWidget *parent = nullptr);

    // The amount of the text; text that holds none (empty, a lone minus) reads 0.
    double value() const;
    // Rounds to cents; shows the edited form while the field has the focus.
    void setValue(double value);

    bool allowNegative() const { return m_allowNegative; }
    void setAllowNegative(bool allow);
    // True when the amount, rounded to cents, could be typed into the field.
    bool canHold(double value) const;

    void showCalculator();

signals:
    void valueChanged(double value);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class PlainAmountValidator;

    void followText();

    PlainAmountValidator *m_validator;
    QToolButton *m_calculatorButton;
    bool m_allowNegative = false;
    double m_lastValue = 0.0;
};
