#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class UserRegister;

// " Přihlášení": who works at the desk.
class TFormLogin : public QDialog
{
    Q_OBJECT

public:
    explicit TFormLogin(QWidget *parent = nullptr);

    // Offers the registered names; with no register the built-in administrator is proposed.
    void prepare(const UserRegister &users);

    QString userName() const;
    void setUserName(const QString &name);
    QString password() const;
    // After a refused attempt: the name stays, the password is typed again.
    void retryPassword();

private:
    QComboBox *m_comboBoxUser;
    QLineEdit *m_editPass;
};
