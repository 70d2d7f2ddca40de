#pragma once

#include <QValidator>

// Refuses, as it is typed or pasted, text with a character that Windows-1250 cannot store: the
// tables and files keep text in that code page, and a character lost on saving is worse than one
// refused at the keyboard. Control characters are refused too, the C1 ones that stand for the
// code page's free bytes included. The field's own maximum length limits the size.
class StorableTextValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};
