#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class CurrencyEdit;

// " Pokladna": an amount to deposit (positive) or withdraw (negative), and the name and password
// of whoever authorises it.
class TFormMoney : public QDialog
{
    Q_OBJECT

public:
    // balance reads the cash balance as it is at the moment of the call.
    TFormMoney(const QStringList &userNames, std::function<double()> balance,
               QWidget *parent = nullptr);
    ~TFormMoney() override;

    double amount() const;
    QString userName() const;
    QString password() const;

    void accept() override;

private:
    void RxCalcEditChange();
    // A withdrawal may not take the balance below zero: it shrinks to what the desk holds.
    void RxCalcEditExit();
    void focusMoved(QWidget *from, QWidget *to);

    std::function<double()> m_balance;
    CurrencyEdit *m_rxCalcEdit;
    QComboBox *m_comboBoxUser;
    QLineEdit *m_editPass;
    QPushButton *m_buttonOk;
    // The application's focus signal reaches this dialog only while it is whole: the base
    // destructors hide the window and delete its controls, which moves the focus again.
    QMetaObject::Connection m_focusConnection;
};
