#include "users/usertextvalidator.h"

#include "ui/common/storabletextvalidator.h"
#include "users/userregister.h"

#include <QComboBox>
#include <QLineEdit>

void limitUserText(QLineEdit *edit)
{
    edit->setMaxLength(UserRegister::MaxTextLength);
    edit->setValidator(new StorableTextValidator(edit));
}

void limitUserText(QComboBox *combo)
{
    limitUserText(combo->lineEdit());
}
