#pragma once

#include <QObject>

// Lets only digits and backspace reach a run field, and selects its whole text when it gets the
// focus or is clicked, so that typing replaces it.
class DigitFieldFilter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
