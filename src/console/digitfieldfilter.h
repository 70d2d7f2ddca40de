#pragma once

#include <QObject>

class QLineEdit;

// Lets only the digits 0-9 and backspace reach a run field, and selects its whole text when it
// gets the focus or is clicked, so that typing replaces it.
class DigitFieldFilter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Keys are filtered here; pasted or composed text meets a validator of the same rule.
    void watch(QLineEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
