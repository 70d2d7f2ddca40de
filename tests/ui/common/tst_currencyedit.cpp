#include "ui/common/calculatorpopup.h"
#include "ui/common/currencyedit.h"
#include "ui/common/windowhelpers.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

const QChar Nbsp(0x00A0);

// A dialog with the field and a second field to move the focus to.
struct FieldWindow
{
    QDialog dialog;
    CurrencyEdit *field = new CurrencyEdit(&dialog);
    QLineEdit *other = new QLineEdit(&dialog);

    FieldWindow()
    {
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(field);
        layout->addWidget(other);
    }

    bool activate()
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        return QTest::qWaitForWindowActive(&dialog);
    }
};

} // namespace

class TestCurrencyEdit : public QObject
{
    Q_OBJECT

private slots:
    void keysAreFiltered_data();
    void keysAreFiltered();
    void editedPlainShownGrouped();
    void valueChangesOnlyWithTheAmount();
    void calculatorKeys_data();
    void calculatorKeys();
    void calculatorResultGoesIntoField();
    void calculatorRefusesWhatFieldCannotHold_data();
    void calculatorRefusesWhatFieldCannotHold();
    void switchDefaultButtonInverts();
    void defaultButtonFollowsFocus();
};

void TestCurrencyEdit::keysAreFiltered_data()
{
    QTest::addColumn<bool>("allowNegative");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("digits and a comma") << false << "12,5"
                                        << "12,5" << 12.5;
    QTest::newRow("full stop types a comma") << false << "12.05"
                                             << "12,05" << 12.05;
    QTest::newRow("one comma only") << false << "1,2,3"
                                    << "1,23" << 1.23;
    QTest::newRow("two decimals only") << false << "1,239"
                                       << "1,23" << 1.23;
    QTest::newRow("letters and blanks dropped") << false << "1a b2x"
                                                << "12" << 12.0;
    QTest::newRow("no minus unless allowed") << false << "-5"
                                             << "5" << 5.0;
    QTest::newRow("leading minus allowed") << true << "-5,5"
                                           << "-5,5" << -5.5;
    QTest::newRow("minus only in front") << true << "5-"
                                         << "5" << 5.0;
    QTest::newRow("lone minus reads 0") << true << "-"
                                        << "-" << 0.0;
    QTest::newRow("ten characters at most") << false << "12345678901"
                                            << "1234567890" << 1234567890.0;
    QTest::newRow("comma first") << false << ",5"
                                 << ",5" << 0.5;
}

void TestCurrencyEdit::keysAreFiltered()
{
    QFETCH(bool, allowNegative);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(double, value);
    CurrencyEdit field;
    field.setAllowNegative(allowNegative);
    field.clear();
    QTest::keyClicks(&field, keys);
    QCOMPARE(field.text(), text);
    QCOMPARE(field.value(), value);
}

void TestCurrencyEdit::editedPlainShownGrouped()
{
    FieldWindow window;
    window.field->setValue(1234.5);
    QCOMPARE(window.field->text(), QString("1") + Nbsp + "234,50");
    QVERIFY(window.activate());
    window.other->setFocus(Qt::TabFocusReason);
    window.field->setFocus(Qt::TabFocusReason); // selects the whole text
    QCOMPARE(window.field->text(), QString("1234,50"));
    QTest::keyClicks(window.field, "9876543.215");
    QCOMPARE(window.field->text(), QString("9876543,21"));
    window.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(window.field->text(), QString("9") + Nbsp + "876" + Nbsp + "543,21");
    QCOMPARE(window.field->value(), 9876543.21);

    // An emptied field reads 0 and shows it on leaving.
    window.field->setFocus(Qt::TabFocusReason);
    window.field->clear();
    window.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(window.field->text(), QString("0,00"));
}

void TestCurrencyEdit::valueChangesOnlyWithTheAmount()
{
    FieldWindow window;
    QSignalSpy changes(window.field, &CurrencyEdit::valueChanged);
    window.field->setValue(10.0);
    QCOMPARE(changes.size(), 1);
    QVERIFY(window.activate());
    window.field->setFocus(Qt::TabFocusReason); // "10,00" only changes its form
    window.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(changes.size(), 1);
    window.field->setValue(10.004); // rounds to the same cents
    QCOMPARE(changes.size(), 1);
    window.field->setValue(10.5);
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes.last().first().toDouble(), 10.5);
}

void TestCurrencyEdit::calculatorKeys_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::newRow("start value shown") << 12.5 << ""
                                       << "12,50";
    QTest::newRow("typed number replaces it") << 12.5 << "7"
                                              << "7";
    QTest::newRow("start value is an operand") << 100.0 << "*1,21="
                                               << "121,00";
    QTest::newRow("left to right") << 0.0 << "2+3*4="
                                   << "20,00";
    QTest::newRow("intermediate result") << 0.0 << "2+3*"
                                         << "5,00";
    QTest::newRow("division") << 0.0 << "10/4="
                              << "2,50";
    QTest::newRow("subtraction below zero") << 0.0 << "3-5="
                                            << "-2,00";
    QTest::newRow("full stop is the comma") << 0.0 << "1.5+1,25="
                                            << "2,75";
    QTest::newRow("second operation key replaces") << 0.0 << "6+*2="
                                                   << "12,00";
    QTest::newRow("one comma") << 0.0 << "1,2,5"
                               << "1,25";
    QTest::newRow("no leading zeros") << 0.0 << "007"
                                      << "7";
    QTest::newRow("division by zero") << 0.0 << "5/0="
                                      << "Chyba";
    QTest::newRow("operations wait for clearing") << 0.0 << "5/0=+="
                                                  << "Chyba";
    QTest::newRow("digit after error starts anew") << 0.0 << "5/0=4"
                                                   << "4";
    QTest::newRow("c clears") << 0.0 << "5+3c"
                              << "0,00";
    QTest::newRow("letters ignored") << 0.0 << "4x2"
                                     << "42";
    QTest::newRow("entry length limited") << 0.0 << "123456789012"
                                          << "1234567890";
}

void TestCurrencyEdit::calculatorKeys()
{
    QFETCH(double, start);
    QFETCH(QString, keys);
    QFETCH(QString, display);
    CalculatorPopup popup(start, [](double) { return true; });
    QTest::keyClicks(&popup, keys);
    QCOMPARE(popup.displayText(), display);
}

void TestCurrencyEdit::calculatorResultGoesIntoField()
{
    FieldWindow window;
    window.field->setValue(100.0);
    QVERIFY(window.activate());
    window.field->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(window.field->findChild<QWidget *>("ButtonCalculator"), Qt::LeftButton);
    auto *popup = qobject_cast<CalculatorPopup *>(QApplication::activePopupWidget());
    QVERIFY(popup);
    QCOMPARE(popup->displayText(), QString("100,00"));
    for (const char *name : {"ButtonDivide", "Button3", "ButtonEquals"})
        QTest::mouseClick(popup->findChild<QPushButton *>(name), Qt::LeftButton);
    QCOMPARE(window.field->value(), 33.33);
    QVERIFY(!QApplication::activePopupWidget());

    // Escape closes without a result; F4 opens it from the keyboard.
    QTest::keyClick(window.field, Qt::Key_F4);
    popup = qobject_cast<CalculatorPopup *>(QApplication::activePopupWidget());
    QVERIFY(popup);
    QTest::keyClicks(popup, "5");
    QTest::keyClick(popup, Qt::Key_Escape);
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(window.field->value(), 33.33);
}

void TestCurrencyEdit::calculatorRefusesWhatFieldCannotHold_data()
{
    QTest::addColumn<bool>("allowNegative");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<double>("value");
    QTest::newRow("negative refused") << false << "10-20=" << false << 7.0;
    QTest::newRow("negative allowed") << true << "10-20=" << true << -10.0;
    QTest::newRow("too long") << false << "9999999*10=" << false << 7.0;
    QTest::newRow("longest that fits") << false << "9999999,99=" << true << 9999999.99;
}

void TestCurrencyEdit::calculatorRefusesWhatFieldCannotHold()
{
    QFETCH(bool, allowNegative);
    QFETCH(QString, keys);
    QFETCH(bool, taken);
    QFETCH(double, value);
    FieldWindow window;
    window.field->setAllowNegative(allowNegative);
    window.field->setValue(7.0);
    QVERIFY(window.activate());
    window.field->showCalculator();
    auto *popup = qobject_cast<CalculatorPopup *>(QApplication::activePopupWidget());
    QVERIFY(popup);
    QTest::keyClicks(popup, keys);
    QCOMPARE(window.field->value(), value);
    QCOMPARE(!QApplication::activePopupWidget(), taken);
    if (!taken) {
        QCOMPARE(popup->displayText(), QString("Chyba"));
        popup->close();
    }
}

void TestCurrencyEdit::switchDefaultButtonInverts()
{
    QDialog dialog;
    QGroupBox group(&dialog);
    new QLabel("Popis", &group);
    new QLineEdit(&group);
    auto *first = new QPushButton("První", &group);
    auto *second = new QPushButton("Druhé", &group);
    SwitchDefaultButton(&group);
    QVERIFY(first->isDefault());
    QVERIFY(!second->isDefault());
    SwitchDefaultButton(&group);
    QVERIFY(!first->isDefault());

    QGroupBox withoutButton(&dialog);
    new QLineEdit(&withoutButton);
    SwitchDefaultButton(&withoutButton); // nothing to switch, nothing happens
}

void TestCurrencyEdit::defaultButtonFollowsFocus()
{
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *discounts = new QGroupBox("Slevy:", &dialog);
    auto *entry = new QLineEdit(discounts);
    auto *add = new QPushButton("Přidat", discounts);
    auto *remove = new QPushButton("Odebrat", discounts);
    (new QVBoxLayout(discounts))->addWidget(entry);
    discounts->layout()->addWidget(add);
    discounts->layout()->addWidget(remove);
    auto *units = new QGroupBox("Solárka", &dialog);
    auto *grid = new QLineEdit(units);
    auto *edit = new QPushButton("Editovat...", units);
    (new QVBoxLayout(units))->addWidget(grid);
    units->layout()->addWidget(edit);
    auto *port = new QLineEdit(&dialog);
    auto *ok = new QPushButton("Ok", &dialog);
    for (QWidget *widget : {static_cast<QWidget *>(discounts), static_cast<QWidget *>(units),
                            static_cast<QWidget *>(port), static_cast<QWidget *>(ok)})
        layout->addWidget(widget);
    switchDefaultButtonWithFocus(discounts);
    switchDefaultButtonWithFocus(units);
    int added = 0;
    connect(add, &QPushButton::clicked, this, [&added] { ++added; });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    const auto defaults = [&] {
        QStringList names;
        for (QPushButton *button : {add, remove, edit, ok}) {
            if (button->isDefault())
                names << button->text();
        }
        return names;
    };
    port->setFocus();
    QCOMPARE(defaults(), QStringList());
    entry->setFocus();
    QCOMPARE(defaults(), QStringList({"Přidat"}));
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(added, 1);
    remove->setFocus(); // a focused button is the default while it has the focus
    QCOMPARE(defaults(), QStringList({"Odebrat"}));
    entry->setFocus();
    QCOMPARE(defaults(), QStringList({"Přidat"}));
    grid->setFocus();
    QCOMPARE(defaults(), QStringList({"Editovat..."}));
    port->setFocus();
    QCOMPARE(defaults(), QStringList());
    // Leaving a focused button outside the groups gives the dialog's last default back; the
    // groups take it away again.
    ok->setFocus();
    QCOMPARE(defaults(), QStringList({"Ok"}));
    port->setFocus();
    QCOMPARE(defaults(), QStringList());
    QTest::keyClick(port, Qt::Key_Return);
    QCOMPARE(added, 1);
}

QTEST_MAIN(TestCurrencyEdit)
#include "tst_currencyedit.moc"
