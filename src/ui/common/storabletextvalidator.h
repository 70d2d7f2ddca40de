#pragma once

#include <QValidator>

// Refuses, as it is typed or pasted, text with a character that Windows-1250 cannot store: the
// tables and files keep text in that code page, and a character lost on saving is worse than one
// refused at the keyboard. The field's own maximum length limits the size.
class StorableTextValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};
