#include "users/usertextvalidator.h"

#include "core/cp1250.h"
#include "users/userregister.h"

#include <QComboBox>
#include <QLineEdit>

QValidator::State UserTextValidator::validate(QString &input, int &) const
{
    if (input.size() > UserRegister::MaxTextLength || !Cp1250::canEncode(input))
        return Invalid;
    return Acceptable;
}

void limitUserText(QLineEdit *edit)
{
    edit->setMaxLength(UserRegister::MaxTextLength);
    edit->setValidator(new UserTextValidator(edit));
}

void limitUserText(QComboBox *combo)
{
    limitUserText(combo->lineEdit());
}
