#include "console/formmoney.h"

#include "console/consolefonts.h"
#include "ui/common/currencyedit.h"
#include "ui/common/passwordfield.h"
#include "ui/common/windowhelpers.h"
#include "userdialogs/usertextvalidator.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The widest amount the field takes, as it is shown once left.
const QString WidestAmount = QStringLiteral("-9\u00a0999\u00a0999,99");

} // namespace

TFormMoney::TFormMoney(const QStringList &userNames, std::function<double()> balance,
                       QWidget *parent)
    : QDialog(parent), m_balance(std::move(balance))
{
    setObjectName(QStringLiteral("FormMoney"));
    setWindowTitle(QStringLiteral(" Pokladna"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Vložení a vybrání hotovosti"), this);
    auto *grid = new QGridLayout(group);

    const QFont amountFont = blackFontPixels(21);
    m_rxCalcEdit = new CurrencyEdit(group);
    m_rxCalcEdit->setObjectName(QStringLiteral("RxCalcEdit"));
    m_rxCalcEdit->setAllowNegative(true);
    m_rxCalcEdit->setFont(amountFont);
    m_rxCalcEdit->setMinimumWidth(m_rxCalcEdit->fontMetrics().horizontalAdvance(WidestAmount) +
                                  40); // the frame and the calculator button
    auto *currency = new QLabel(QStringLiteral("Kč"), group);
    currency->setObjectName(QStringLiteral("LabelCurrency"));
    currency->setFont(amountFont);
    grid->addWidget(m_rxCalcEdit, 0, 0, 1, 2);
    grid->addWidget(currency, 0, 2);

    m_comboBoxUser = new QComboBox(group);
    m_comboBoxUser->setObjectName(QStringLiteral("ComboBoxUser"));
    makeUserNameBox(m_comboBoxUser);
    m_comboBoxUser->addItems(userNames);
    m_comboBoxUser->setEditText(QString());
    m_editPass = new QLineEdit(group);
    m_editPass->setObjectName(QStringLiteral("EditPass"));
    showAsPassword(m_editPass);
    limitUserText(m_editPass);
    grid->addWidget(new QLabel(QStringLiteral("Uživatel:"), group), 1, 0);
    grid->addWidget(m_comboBoxUser, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Heslo:"), group), 2, 0);
    grid->addWidget(m_editPass, 2, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(group);

    const auto [ok, cancel] = addOkCancelRow(layout, this);
    m_buttonOk = ok;
    m_buttonOk->setDefault(true);
    m_buttonOk->setEnabled(false);
    connect(m_buttonOk, &QPushButton::clicked, this, &TFormMoney::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_rxCalcEdit, m_comboBoxUser);
    setTabOrder(m_comboBoxUser, m_editPass);
    setTabOrder(m_editPass, m_buttonOk);
    setTabOrder(m_buttonOk, cancel);

    connect(m_rxCalcEdit, &CurrencyEdit::valueChanged, this, &TFormMoney::RxCalcEditChange);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &TFormMoney::focusMoved);
    setFixedSize(sizeHint());
    m_rxCalcEdit->setFocus();
}

TFormMoney::~TFormMoney()
{
    disconnect(m_focusConnection);
}

double TFormMoney::amount() const
{
    return m_rxCalcEdit->value();
}

QString TFormMoney::userName() const
{
    return m_comboBoxUser->currentText();
}

QString TFormMoney::password() const
{
    return m_editPass->text();
}

void TFormMoney::RxCalcEditChange()
{
    m_buttonOk->setEnabled(amount() != 0.0);
}

void TFormMoney::RxCalcEditExit()
{
    const double balance = m_balance();
    if (amount() + balance < 0.0)
        m_rxCalcEdit->setValue(-balance);
}

void TFormMoney::accept()
{
    // Enter in the amount field never leaves it: bound the withdrawal here as well, and let the
    // corrected amount be seen and confirmed before it is taken.
    const double typed = amount();
    RxCalcEditExit();
    if (amount() == typed)
        QDialog::accept();
}

void TFormMoney::focusMoved(QWidget *from, QWidget *to)
{
    // Entering the amount offers it for overtyping. Only a move to another control of this
    // window leaves the field: the calculator or another window on top does not.
    if (to == m_rxCalcEdit)
        m_rxCalcEdit->selectAll();
    else if (from == m_rxCalcEdit && to && isAncestorOf(to))
        RxCalcEditExit();
}
