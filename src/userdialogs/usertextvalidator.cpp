#include "userdialogs/usertextvalidator.h"

#include "ui/common/storabletextvalidator.h"
#include "users/userregister.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>

void limitUserText(QLineEdit *edit)
{
    edit->setMaxLength(UserRegister::MaxTextLength);
    edit->setValidator(new StorableTextValidator(edit));
}

void makeUserNameBox(QComboBox *combo)
{
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The box matches its items with the completer's case rule when editing ends, so a
    // case-sensitive completer is what keeps the typed letter case.
    combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    limitUserText(combo->lineEdit());
}
