#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class UserRegister;

// " Nový uživatel": a new, non-empty name and a confirmed password. The built-in administrator's
// name is refused in any letter case, with a note saying why.
class TFormUserNew : public QDialog
{
    Q_OBJECT

public:
    TFormUserNew(const UserRegister &users, QWidget *parent = nullptr);

    QString userName() const;
    QString password() const;

private:
    void EditsChange();

    const UserRegister &m_users;
    QLineEdit *m_editUser;
    QLineEdit *m_editPass;
    QLineEdit *m_editPassConfirm;
    QLabel *m_labelReservedName;
    QPushButton *m_buttonOk;
};

// " Editace uživatele": a new password for a named user.
class TFormUserEdit : public QDialog
{
    Q_OBJECT

public:
    TFormUserEdit(const QString &userName, const QString &password, QWidget *parent = nullptr);

    QString password() const;

private:
    void EditsChange();

    QLabel *m_labelUserName;
    QLineEdit *m_editPass;
    QLineEdit *m_editPassConfirm;
    QPushButton *m_buttonOk;
};
