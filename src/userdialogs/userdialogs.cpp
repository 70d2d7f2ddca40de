#include "userdialogs/userdialogs.h"

#include "ui/common/passwordfield.h"
#include "ui/common/windowhelpers.h"
#include "userdialogs/usertextvalidator.h"
#include "users/access.h"
#include "users/userregister.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *addField(QGridLayout *grid, QDialog *dialog, const QString &caption, const QString &name,
                    bool secret)
{
    auto *edit = new QLineEdit(dialog);
    edit->setObjectName(name);
    limitUserText(edit);
    if (secret)
        showAsPassword(edit);
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption, dialog), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

// "Ok" (default, disabled until the fields agree) and "Storno" (Escape) under the fields.
QPushButton *addButtons(QVBoxLayout *layout, QDialog *dialog)
{
    const auto [ok, cancel] = addOkCancelRow(layout, dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return ok;
}

void fixDialogFrame(QDialog *dialog)
{
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog->setFixedSize(dialog->sizeHint().expandedTo({280, 0}));
}

// Says, under the fields, why a name cannot be used; hidden while there is nothing to say.
QLabel *addReservedNameNote(QVBoxLayout *layout, QDialog *dialog, const QString &text)
{
    auto *note = new QLabel(text, dialog);
    note->setObjectName(QStringLiteral("LabelReservedName"));
    note->setWordWrap(true);
    note->setVisible(false);
    layout->addWidget(note);
    return note;
}

void showReservedNameNote(QLabel *note, bool shown)
{
    if (note->isVisibleTo(note->parentWidget()) == shown)
        return;
    note->setVisible(shown);
    fixDialogFrame(static_cast<QDialog *>(note->parentWidget()));
}

} // namespace

TFormUserNew::TFormUserNew(const UserRegister &users, QWidget *parent)
    : QDialog(parent), m_users(users)
{
    setWindowTitle(QStringLiteral(" Nový uživatel"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    m_editUser =
        addField(grid, this, QStringLiteral("Uživatel:"), QStringLiteral("EditUser"), false);
    m_editPass = addField(grid, this, QStringLiteral("Heslo:"), QStringLiteral("EditPass"), true);
    m_editPassConfirm = addField(grid, this, QStringLiteral("Potvrzení hesla:"),
                                 QStringLiteral("EditPassConfirm"), true);
    layout->addLayout(grid);
    m_labelReservedName = addReservedNameNote(
        layout, this,
        QStringLiteral("Jméno Administrator patří vestavěnému správci programu, zvolte jiné."));
    m_buttonOk = addButtons(layout, this);
    m_buttonOk->setEnabled(false);
    for (QLineEdit *edit : {m_editUser, m_editPass, m_editPassConfirm})
        connect(edit, &QLineEdit::textChanged, this, &TFormUserNew::EditsChange);
    fixDialogFrame(this);
    m_editUser->setFocus();
}

QString TFormUserNew::userName() const
{
    return m_editUser->text();
}

QString TFormUserNew::password() const
{
    return m_editPass->text();
}

void TFormUserNew::EditsChange()
{
    const bool reserved = isReservedUserName(m_editUser->text());
    showReservedNameNote(m_labelReservedName, reserved);
    m_buttonOk->setEnabled(!m_editUser->text().isEmpty() && !reserved &&
                           !m_editPass->text().isEmpty() &&
                           m_editPass->text() == m_editPassConfirm->text() &&
                           !m_users.GetUserItem(m_editUser->text()));
}

TFormUserEdit::TFormUserEdit(const QString &userName, const QString &password, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Editace uživatele"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    m_labelUserName = new QLabel(userName, this);
    m_labelUserName->setObjectName(QStringLiteral("LabelUserName"));
    grid->addWidget(new QLabel(QStringLiteral("Uživatel:"), this), 0, 0);
    grid->addWidget(m_labelUserName, 0, 1);
    m_editPass = addField(grid, this, QStringLiteral("Heslo:"), QStringLiteral("EditPass"), true);
    m_editPassConfirm = addField(grid, this, QStringLiteral("Potvrzení hesla:"),
                                 QStringLiteral("EditPassConfirm"), true);
    layout->addLayout(grid);
    // An entry from before the name was reserved keeps working, with its own rights only.
    QLabel *note = addReservedNameNote(
        layout, this,
        QStringLiteral("Jméno Administrator patří vestavěnému správci programu: tento uživatel "
                       "se přihlásí jen jménem psaným jinak a jen se svými právy. Odeberte ho "
                       "a založte pod jiným jménem."));
    note->setVisible(isReservedUserName(userName));
    m_buttonOk = addButtons(layout, this);
    m_editPass->setText(password);
    m_editPassConfirm->setText(password);
    for (QLineEdit *edit : {m_editPass, m_editPassConfirm})
        connect(edit, &QLineEdit::textChanged, this, &TFormUserEdit::EditsChange);
    EditsChange();
    fixDialogFrame(this);
    m_editPass->setFocus();
}

QString TFormUserEdit::password() const
{
    return m_editPass->text();
}

void TFormUserEdit::EditsChange()
{
    m_buttonOk->setEnabled(!m_editPass->text().isEmpty() &&
                           m_editPass->text() == m_editPassConfirm->text());
}
