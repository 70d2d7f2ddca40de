#pragma once

#include "ui/common/integerrules.h"

#include <QComboBox>

// An editable combo box for a whole number between Min and Max (Max 0: no upper limit), its list
// offering preset numbers. Typed keys are filtered like TIntegerEdit's; a choice from the list is
// not. Reading the value clamps it and may change the text.
class TIntegerComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue USER true)
    Q_PROPERTY(int min READ min WRITE setMin)
    Q_PROPERTY(int max READ max WRITE setMax)
    Q_PROPERTY(bool zeroEmpty READ zeroEmpty WRITE setZeroEmpty)

public:
    explicit TIntegerComboBox(QWidget *parent = nullptr);

    int value();
    // With ZeroEmpty, 0 empties the field and the list too.
    void setValue(int value);
    int min() const { return m_rules.min(); }
    void setMin(int min);
    int max() const { return m_rules.max(); }
    void setMax(int max);
    bool zeroEmpty() const { return m_rules.zeroEmpty(); }
    void setZeroEmpty(bool zeroEmpty);

private:
    void normalise() { setValue(value()); }

    IntegerRules m_rules;
};
