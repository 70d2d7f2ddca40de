#pragma once

#include "ui/common/integerrules.h"

#include <QLineEdit>

// A one-line field for a whole number between Min and Max (Max 0: no upper limit). Keys that
// would leave anything else are refused; reading the value clamps it and may change the text.
class TIntegerEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue USER true)
    Q_PROPERTY(int min READ min WRITE setMin)
    Q_PROPERTY(int max READ max WRITE setMax)
    Q_PROPERTY(bool zeroEmpty READ zeroEmpty WRITE setZeroEmpty)

public:
    explicit TIntegerEdit(QWidget *parent = nullptr);

    int value();
    void setValue(int value);
    int min() const { return m_rules.min(); }
    void setMin(int min);
    int max() const { return m_rules.max(); }
    void setMax(int max);
    bool zeroEmpty() const { return m_rules.zeroEmpty(); }
    void setZeroEmpty(bool zeroEmpty);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void normalise() { setValue(value()); }

    IntegerRules m_rules;
};
