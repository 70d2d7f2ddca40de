#include "consolefixture.h"

#include "console/formmoney.h"
#include "console/formvelmora.h"
#include "core/czechformat.h"
#include "data/engineerror.h"
#include "data/query.h"
#include "data/table.h"
#include "fakes/whenmodal.h"
#include "ui/common/currencyedit.h"
#include "ui/common/messagedialogs.h"
#include "users/secrets.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace Hook = MessageDialogsTestHook;

namespace {

const QList<User> Staff = {
    User{"Jan", "jan1", {true, true, true, false}}, // everything but "!!!"
    User{"Eva", "eva1", {false, false, false, true}},
};

CurrencyEdit *amountField(TFormMoney *dialog)
{
    return dialog->findChild<CurrencyEdit *>("RxCalcEdit");
}

QComboBox *userField(TFormMoney *dialog)
{
    return dialog->findChild<QComboBox *>("ComboBoxUser");
}

QLineEdit *passwordField(TFormMoney *dialog)
{
    return dialog->findChild<QLineEdit *>("EditPass");
}

QPushButton *button(TFormMoney *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(name);
}

// The master password stands in the data as this placeholder.
QString passwordFor(const QString &given)
{
    return given == "<master>" ? MasterPassword() : given;
}

// Types the amount over the field's text, as the keyboard would.
void typeAmount(TFormMoney *dialog, const QString &amount)
{
    CurrencyEdit *field = amountField(dialog);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, amount);
}

// Types the amount, leaves the field with Tab, then fills the name and password.
void fill(TFormMoney *dialog, const QString &amount, const QString &name, const QString &password)
{
    typeAmount(dialog, amount);
    QTest::keyClick(amountField(dialog), Qt::Key_Tab);
    QTest::keyClicks(userField(dialog)->lineEdit(), name);
    QTest::keyClicks(passwordField(dialog), passwordFor(password));
}

using Showing = std::function<void(TFormMoney *)>;

// Answers the coming showings of the cash dialog in order; each answer closes the dialog (an
// answer that stopped on a failed check is closed with "Storno", so the test cannot hang).
void answerShowings(QList<Showing> showings, int *shown)
{
    if (showings.isEmpty())
        return;
    const Showing answer = showings.takeFirst();
    whenModal<TFormMoney>([answer, showings, shown](TFormMoney *dialog) {
        ++*shown;
        if (QTest::qWaitForWindowActive(dialog))
            answer(dialog);
        else
            QFAIL("the cash dialog did not become active");
        if (dialog->isVisible())
            dialog->reject();
        answerShowings(showings, shown);
    });
}

// Opens "Pokladna..." and answers its showings; returns how many there were.
int changeBalance(TFormVelmora &console, const QList<Showing> &showings)
{
    int shown = 0;
    answerShowings(showings, &shown);
    console.findChild<QAction *>("MenuItemMoney")->trigger();
    return shown;
}

void setBalance(ConsoleFixture &desk, double balance)
{
    Table &money = desk.desk().tableMoney();
    QVERIFY(money.edit() && money.setValue("MONEY", balance) && money.post());
}

} // namespace

class TestMoney : public QObject
{
    Q_OBJECT

private slots:
    void dialogAsItOpens();
    void okFollowsAmount_data();
    void okFollowsAmount();
    void authorisedChange_data();
    void authorisedChange();
    void refusedAuthorisationComesBack_data();
    void refusedAuthorisationComesBack();
    void withdrawalStopsAtZero_data();
    void withdrawalStopsAtZero();
    void enterInTheAmountFieldIsBoundToo();
    void destroyedWhileVisible();
    void saleWhileDialogOpen_data();
    void saleWhileDialogOpen();
    void failedPostKeepsBalance();
};

void TestMoney::dialogAsItOpens()
{
    // Open to a user without any rights.
    ConsoleFixture desk(Staff + QList<User>{User{"Ota", "o", {false, false, false, false}}}, "Ota");
    QAction *item = desk.console().findChild<QAction *>("MenuItemMoney");
    QVERIFY(item->isEnabled());
    QCOMPARE(item->text(), QString("Pokladna..."));

    const int shown = changeBalance(
        desk.console(), {[](TFormMoney *dialog) {
            QCOMPARE(dialog->windowTitle(), QString(" Pokladna"));
            QCOMPARE(dialog->findChild<QGroupBox *>()->title(),
                     QString("Vložení a vybrání hotovosti"));
            CurrencyEdit *amount = amountField(dialog);
            QCOMPARE(dialog->focusWidget(), amount);
            QCOMPARE(amount->selectedText(), amount->text());
            QCOMPARE(dialog->amount(), 0.0);
            QVERIFY(amount->allowNegative());
            QCOMPARE(amount->font().pixelSize(), 21);
            QCOMPARE(dialog->findChild<QLabel *>("LabelCurrency")->font(), amount->font());
            QComboBox *user = userField(dialog);
            QVERIFY(user->isEditable());
            QCOMPARE(user->currentText(), QString());
            QCOMPARE(user->lineEdit()->maxLength(), 16);
            QStringList names;
            for (int i = 0; i < user->count(); ++i)
                names << user->itemText(i);
            QCOMPARE(names, QStringList({"Eva", "Jan", "Ota"}));
            QCOMPARE(passwordField(dialog)->echoMode(), QLineEdit::Password);
            passwordField(dialog)->setText("ab");
            QCOMPARE(passwordField(dialog)->displayText(), QString("**"));
            QCOMPARE(passwordField(dialog)->maxLength(), 16);
            QVERIFY(button(dialog, "ButtonOk")->isDefault());
            QVERIFY(!button(dialog, "ButtonOk")->isEnabled());
            QTest::keyClick(dialog, Qt::Key_Escape);
            QVERIFY(!dialog->isVisible());
        }});
    QCOMPARE(shown, 1);
    QVERIFY(desk.desk().eventLog().lines().isEmpty());
}

void TestMoney::okFollowsAmount_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("zero with decimals") << "0,00" << false;
    QTest::newRow("a lone minus") << "-" << false;
    QTest::newRow("deposit") << "250" << true;
    QTest::newRow("withdrawal of a cent") << "-0,01" << true;
    QTest::newRow("half a crown") << "0,5" << true;
}

void TestMoney::okFollowsAmount()
{
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    TFormMoney dialog({}, [] { return 1000.0; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QPushButton *ok = button(&dialog, "ButtonOk");
    typeAmount(&dialog, "7");
    QVERIFY(ok->isEnabled());
    typeAmount(&dialog, typed);
    QCOMPARE(ok->isEnabled(), enabled);
    amountField(&dialog)->setValue(0.0); // as the calculator puts a result in
    QVERIFY(!ok->isEnabled());
}

void TestMoney::authorisedChange_data()
{
    QTest::addColumn<QString>("loggedIn");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<double>("balance");
    QTest::addColumn<QString>("logged");
    QTest::newRow("deposit by the administrator") << "Administrator"
                                                  << "250"
                                                  << "Administrator"
                                                  << "<master>" << 1250.0 << "250,00 Kč";
    QTest::newRow("withdrawal by the administrator") << "Administrator"
                                                     << "-300"
                                                     << "Administrator"
                                                     << "<master>" << 700.0 << "-300,00 Kč";
    QTest::newRow("user with !!! while one without it works") << "Jan"
                                                              << "12,5"
                                                              << "EVA"
                                                              << "eva1" << 1012.5 << "12,50 Kč";
}

void TestMoney::authorisedChange()
{
    QFETCH(QString, loggedIn);
    QFETCH(QString, amount);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(double, balance);
    QFETCH(QString, logged);
    ConsoleFixture desk(Staff, loggedIn);
    TFormVelmora &console = desk.console();
    setBalance(desk, 1000.0);

    changeBalance(console, {[&](TFormMoney *dialog) {
                      fill(dialog, amount, name, password);
                      QTest::mouseClick(button(dialog, "ButtonOk"), Qt::LeftButton);
                  }});
    QCOMPARE(desk.money(), balance);
    QCOMPARE(logTexts(desk.desk().eventLog()),
             QStringList({QString("Transakce [Editace hotovosti]: OK [0 ms] [%1]").arg(logged),
                          "Databáze uložena"}));
    QCOMPARE(console.findChild<QLabel *>("DBTextMoney")->text(), CzechFormat::amount(balance));
    QCOMPARE(desk.desk().tableMoney().state(), Table::State::Browse);
    QVERIFY(Hook::takeMessages().isEmpty());
}

void TestMoney::refusedAuthorisationComesBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::newRow("administrator, wrong password") << "Administrator"
                                                   << "spatne";
    QTest::newRow("administrator in lower case") << "administrator"
                                                 << "<master>";
    QTest::newRow("user without !!!, own password") << "Jan"
                                                    << "jan1";
    QTest::newRow("user with !!!, another's password") << "Eva"
                                                       << "jan1";
}

void TestMoney::refusedAuthorisationComesBack()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    ConsoleFixture desk(Staff); // logged in as the administrator: that does not count here
    TFormVelmora &console = desk.console();
    setBalance(desk, 1000.0);

    const int shown = changeBalance(
        console, {[&](TFormMoney *dialog) {
                      fill(dialog, "250", name, password);
                      QTest::keyClick(passwordField(dialog), Qt::Key_Return);
                  },
                  [&](TFormMoney *dialog) {
                      QCOMPARE(amountField(dialog)->text(), QString("250,00"));
                      QCOMPARE(dialog->userName(), name);
                      QCOMPARE(dialog->password(), passwordFor(password));
                      QVERIFY(button(dialog, "ButtonOk")->isEnabled());
                      QTest::mouseClick(button(dialog, "ButtonCancel"), Qt::LeftButton);
                  }});
    QCOMPARE(shown, 2);
    QCOMPARE(desk.money(), 1000.0);
    QVERIFY(desk.desk().eventLog().lines().isEmpty());
    QVERIFY(Hook::takeMessages().isEmpty());
}

void TestMoney::withdrawalStopsAtZero_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::addColumn<double>("result");
    QTest::newRow("more than the desk holds") << 1000.0 << "-1500"
                                              << "-1\u00a0000,00" << 0.0;
    QTest::newRow("all the desk holds") << 1000.0 << "-1000"
                                        << "-1\u00a0000,00" << 0.0;
    QTest::newRow("a cent less") << 1000.0 << "-999,99"
                                 << "-999,99" << 0.01;
    QTest::newRow("cents of the balance") << 0.3 << "-5"
                                          << "-0,30" << 0.0;
}

void TestMoney::withdrawalStopsAtZero()
{
    QFETCH(double, balance);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QFETCH(double, result);
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    setBalance(desk, balance);

    changeBalance(console, {[&](TFormMoney *dialog) {
                      typeAmount(dialog, typed);
                      // Only leaving the field corrects it.
                      QCOMPARE(dialog->amount(), typed.replace(',', '.').toDouble());
                      QTest::keyClick(amountField(dialog), Qt::Key_Tab);
                      QCOMPARE(amountField(dialog)->text(), left);
                      QTest::keyClicks(userField(dialog)->lineEdit(), "Administrator");
                      QTest::keyClicks(passwordField(dialog), MasterPassword());
                      QTest::mouseClick(button(dialog, "ButtonOk"), Qt::LeftButton);
                  }});
    QCOMPARE(desk.money(), result);
    QVERIFY(desk.money() >= 0.0);
}

void TestMoney::enterInTheAmountFieldIsBoundToo()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    setBalance(desk, 1000);
    QString shownAfterEnter;
    changeBalance(console, {[&](TFormMoney *dialog) {
                      QTest::keyClicks(userField(dialog)->lineEdit(), "Administrator");
                      QTest::keyClicks(passwordField(dialog), MasterPassword());
                      typeAmount(dialog, "-1500");
                      QTest::keyClick(amountField(dialog), Qt::Key_Return);
                      QVERIFY(dialog->isVisible()); // the corrected amount is shown first
                      shownAfterEnter = amountField(dialog)->text();
                      QTest::keyClick(amountField(dialog), Qt::Key_Return);
                  }});
    QCOMPARE(shownAfterEnter, QString("-1000,00")); // the plain form while the field is edited
    QCOMPARE(desk.money(), 0.0);
}

void TestMoney::destroyedWhileVisible()
{
    QWidget console;
    console.show();
    auto *dialog = new TFormMoney({"Jan"}, [] { return 1000.0; });
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    typeAmount(dialog, "-5000");
    // The controls go after the dialog's own part is gone; by then the focus signal must no
    // longer reach it, whatever the base destructors do with the focus.
    bool reachedWhenControlsGo = false;
    QObject *asObject = dialog;
    connect(amountField(dialog), &QObject::destroyed, qApp, [&] {
        reachedWhenControlsGo = QObject::disconnect(
            qApp, SIGNAL(focusChanged(QWidget *, QWidget *)), asObject, nullptr);
    });
    delete dialog;
    QVERIFY(!reachedWhenControlsGo);
}

void TestMoney::saleWhileDialogOpen_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::addColumn<double>("result");
    // The run of 90 seconds at 10,00 Kč a minute adds 15,00 Kč.
    QTest::newRow("deposit") << "250"
                             << "250,00" << 1265.0;
    QTest::newRow("withdrawal of more than the balance had") << "-1010"
                                                             << "-1\u00a0010,00" << 5.0;
    QTest::newRow("withdrawal of more than the balance has") << "-1500"
                                                             << "-1\u00a0015,00" << 0.0;
}

void TestMoney::saleWhileDialogOpen()
{
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QFETCH(double, result);
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    setBalance(desk, 1000.0);
    console.MenuItemSolarClick(1);

    changeBalance(console, {[&](TFormMoney *dialog) {
                      typeAmount(dialog, typed);
                      desk.countDown(1, 90); // the countdown ends and the sale is recorded
                      QCOMPARE(desk.m_dialogs.m_stops.size(), 1);
                      QCOMPARE(desk.m_dialogs.m_stops.first().total, 15.0);
                      QCOMPARE(desk.money(), 1015.0);
                      QTest::keyClick(amountField(dialog), Qt::Key_Tab);
                      QCOMPARE(amountField(dialog)->text(), left);
                      QTest::keyClicks(userField(dialog)->lineEdit(), "Administrator");
                      QTest::keyClicks(passwordField(dialog), MasterPassword());
                      QTest::mouseClick(button(dialog, "ButtonOk"), Qt::LeftButton);
                  }});
    QCOMPARE(desk.money(), result);
    QCOMPARE(desk.receiptCount(), 1);
    const QStringList texts = logTexts(desk.desk().eventLog());
    QCOMPARE(texts.size(), 4);
    QVERIFY2(texts.at(0).startsWith("Transakce solárko[1]: OK"), qPrintable(texts.at(0)));
    QCOMPARE(texts.at(2), QString("Transakce [Editace hotovosti]: OK [0 ms] [%1 Kč]").arg(left));
}

void TestMoney::failedPostKeepsBalance()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    setBalance(desk, 1000.0);
    setDatabaseErrorSource([] {
        const EngineError error = Engine::lastError();
        return DatabaseError{error.code, error.message};
    });
    Query trigger(&desk.desk().database());
    trigger.setSql("create trigger refuse before update on Money begin "
                   "select raise(abort, 'pokladna zamknuta'); end");
    QVERIFY(trigger.exec());

    const int shown =
        changeBalance(console, {[](TFormMoney *dialog) {
                          fill(dialog, "250", "Administrator", "<master>");
                          QTest::mouseClick(button(dialog, "ButtonOk"), Qt::LeftButton);
                      }});
    setDatabaseErrorSource({});
    QCOMPARE(shown, 1);
    const QList<Hook::Message> messages = Hook::takeMessages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0).text, QString("Chyba při zápisu do databáze..."));
    QVERIFY2(messages.at(0).detail.startsWith("Post Error: ") &&
                 messages.at(0).detail.endsWith(" [TableMoney]"),
             qPrintable(messages.at(0).detail));
    QVERIFY2(messages.at(1).text.startsWith("Error ["), qPrintable(messages.at(1).text));
    QVERIFY2(messages.at(1).detail.contains("pokladna zamknuta"),
             qPrintable(messages.at(1).detail));
    QCOMPARE(logTexts(desk.desk().eventLog()),
             QStringList({"Transakce [Editace hotovosti]: CHYBA"}));
    QCOMPARE(desk.money(), 1000.0);
    QCOMPARE(desk.desk().tableMoney().state(), Table::State::Browse);
    QCOMPARE(console.findChild<QLabel *>("DBTextMoney")->text(), QString("1\u00a0000,00"));
}

QTEST_MAIN(TestMoney)
#include "tst_money.moc"
