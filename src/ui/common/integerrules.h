#pragma once

#include <QString>
#include <QValidator>

class QKeyEvent;
class QLineEdit;

// What the whole-number fields share: the limits, the key filter that judges the text a key would
// leave, and the reading of the value with clamping. The field's text stays the only storage.
class IntegerRules
{
public:
    int min() const { return m_min; }
    int max() const { return m_max; } // 0: no upper limit
    bool zeroEmpty() const { return m_zeroEmpty; }

    // Both return false, changing nothing, when the new limit is refused: an unchanged limit, a
    // minimum above the maximum (also while the maximum is 0), a maximum below the minimum.
    bool setMin(int min);
    bool setMax(int max);
    void setZeroEmpty(bool zeroEmpty) { m_zeroEmpty = zeroEmpty; }

    struct Reading
    {
        int value;
        bool clamped; // the value lies outside the text: write it back
    };
    // Empty text reads 0 as it is; text that is no 32-bit decimal number counts as 0; the result
    // is then held within the limits.
    Reading read(const QString &text) const;

    // True when writing this value empties the field.
    bool showsEmpty(int value) const { return m_zeroEmpty && value == 0; }

    // Judges a key meant for the field by the text it would leave behind. True when the key is
    // refused and must not reach the field. Enter selects the whole text and passes.
    bool refusesKey(QLineEdit *edit, QKeyEvent *event) const;

private:
    bool refusesDigitResult(const QString &prospective) const;
    bool refusesDeletionResult(const QString &prospective) const;

    int m_min = 0;
    int m_max = 0;
    bool m_zeroEmpty = false;
};

// Every edit the user makes (typing, pasting, dropping) must leave nothing but digits; the
// range is left to the key filter and to reading the value. Programmatic writes pass.
class DigitsValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override;
};
