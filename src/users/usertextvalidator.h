#pragma once

#include <QValidator>

// Names and passwords end up in Windows-1250 files of 16-character fields: refuse anything else
// while it is typed rather than lose it on saving.
class UserTextValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

class QLineEdit;
class QComboBox;

// Limits a name or password field to 16 storable characters.
void limitUserText(QLineEdit *edit);
void limitUserText(QComboBox *combo);
