#include "userdialogs/formlogin.h"

#include "ui/common/passwordfield.h"
#include "ui/common/windowhelpers.h"
#include "userdialogs/usertextvalidator.h"
#include "users/access.h"
#include "users/userregister.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormLogin::TFormLogin(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Přihlášení"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Přihlášení uživatele"), this);
    auto *grid = new QGridLayout(group);

    m_comboBoxUser = new QComboBox(group);
    m_comboBoxUser->setObjectName(QStringLiteral("ComboBoxUser"));
    makeUserNameBox(m_comboBoxUser);
    m_editPass = new QLineEdit(group);
    m_editPass->setObjectName(QStringLiteral("EditPass"));
    showAsPassword(m_editPass);
    limitUserText(m_editPass);
    grid->addWidget(new QLabel(QStringLiteral("Uživatel:"), group), 0, 0);
    grid->addWidget(m_comboBoxUser, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Heslo:"), group), 1, 0);
    grid->addWidget(m_editPass, 1, 1);
    layout->addWidget(group);

    const auto [ok, cancel] = addOkCancelRow(layout, this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(sizeHint().expandedTo({300, 0}));
    m_editPass->setFocus();
}

void TFormLogin::prepare(const UserRegister &users)
{
    m_comboBoxUser->clear();
    if (users.isEmpty()) {
        m_comboBoxUser->setEditText(AdministratorName);
        return;
    }
    m_comboBoxUser->addItems(users.names());
    m_comboBoxUser->setEditText(QString());
}

QString TFormLogin::userName() const
{
    return m_comboBoxUser->currentText();
}

void TFormLogin::setUserName(const QString &name)
{
    m_comboBoxUser->setCurrentText(name);
}

QString TFormLogin::password() const
{
    return m_editPass->text();
}

void TFormLogin::retryPassword()
{
    m_editPass->clear();
    m_editPass->setFocus();
}
