#include "ui/common/currencyedit.h"
#include "ui/common/integercombobox.h"
#include "ui/common/integeredit.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// One of the two controls behind a common face, so that every key rule runs on both.
struct Field
{
    std::unique_ptr<QWidget> widget;
    QLineEdit *edit;
    std::function<int()> value;
    std::function<void(int)> setValue;
    std::function<void(int)> setMin;
    std::function<void(int)> setMax;
    std::function<void(bool)> setZeroEmpty;
    std::function<int()> min;
    std::function<int()> max;
};

template <typename Control> Field makeFieldOf()
{
    auto control = std::make_unique<Control>();
    Control *c = control.get();
    QLineEdit *edit = nullptr;
    if constexpr (std::is_same_v<Control, TIntegerComboBox>)
        edit = c->lineEdit();
    else
        edit = c;
    return Field{std::move(control),
                 edit,
                 [c] { return c->value(); },
                 [c](int v) { c->setValue(v); },
                 [c](int v) { c->setMin(v); },
                 [c](int v) { c->setMax(v); },
                 [c](bool v) { c->setZeroEmpty(v); },
                 [c] { return c->min(); },
                 [c] { return c->max(); }};
}

Field makeField(const QString &kind)
{
    return kind == "combo" ? makeFieldOf<TIntegerComboBox>() : makeFieldOf<TIntegerEdit>();
}

// Keys as text: digits and other characters stand for themselves; <BS>, <DEL>, <LEFT>, <HOME>
// and <ENTER> for those keys.
void typeKeys(QWidget *target, const QString &keys)
{
    static const QMap<QString, Qt::Key> named{{"<BS>", Qt::Key_Backspace},
                                              {"<DEL>", Qt::Key_Delete},
                                              {"<LEFT>", Qt::Key_Left},
                                              {"<HOME>", Qt::Key_Home},
                                              {"<ENTER>", Qt::Key_Return}};
    for (qsizetype i = 0; i < keys.size();) {
        if (keys.at(i) == '<') {
            const qsizetype end = keys.indexOf('>', i);
            QTest::keyClick(target, named.value(keys.mid(i, end - i + 1)));
            i = end + 1;
        } else {
            QTest::keyClick(target, keys.at(i).toLatin1());
            ++i;
        }
    }
}

} // namespace

class TestIntegerFields : public QObject
{
    Q_OBJECT

private slots:
    void defaults_data();
    void defaults();
    void keys_data();
    void keys();
    void enterSelectsAllAndReachesDefaultButton_data();
    void enterSelectsAllAndReachesDefaultButton();
    void clickSelectsAll();
    void readingClamps_data();
    void readingClamps();
    void writingValue_data();
    void writingValue();
    void writingLimits_data();
    void writingLimits();
    void zeroEmptyComboEmptiesItsList();
    void pasteIsNotFiltered();
    void chordedKeys_data();
    void chordedKeys();
    void comboListChoiceIsNotFilteredNorCompleted();
    void valueThroughPropertySystem();
};

void TestIntegerFields::defaults_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("edit") << "edit";
    QTest::newRow("combo") << "combo";
}

void TestIntegerFields::defaults()
{
    QFETCH(QString, kind);
    Field field = makeField(kind);
    QCOMPARE(field.edit->text(), QString("0"));
    QCOMPARE(field.value(), 0);
    QCOMPARE(field.min(), 0);
    QCOMPARE(field.max(), 0);
    QCOMPARE(field.widget->property("zeroEmpty").toBool(), false);
    QCOMPARE(field.edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

void TestIntegerFields::keys_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");      // caret position; -1: at the end
    QTest::addColumn<int>("selectFrom"); // -1: no selection
    QTest::addColumn<int>("selectLength");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");

    struct Case
    {
        const char *name;
        int min, max;
        QString text;
        int caret, selectFrom, selectLength;
        QString keys, expected;
    };
    const Case cases[] = {
        {"digit up to Max", 0, 100, "10", -1, -1, 0, "0", "100"},
        {"digit past Max refused", 0, 100, "10", -1, -1, 0, "00", "100"},
        {"no Max: up to the 32-bit limit", 0, 0, "214748364", -1, -1, 0, "7", "2147483647"},
        {"no Max: past the 32-bit limit", 0, 0, "214748364", -1, -1, 0, "8", "214748364"},
        {"no Max: an eleventh digit", 0, 0, "2147483647", -1, -1, 0, "0", "2147483647"},
        {"backspace to empty refused with Min 1", 1, 100, "5", -1, -1, 0, "<BS>", "5"},
        {"backspace to empty with Min 0", 0, 100, "5", -1, -1, 0, "<BS>", ""},
        {"backspace at the start changes nothing", 0, 100, "57", 0, -1, 0, "<BS>", "57"},
        {"backspace below Min refused", 10, 99, "15", -1, -1, 0, "<BS>", "15"},
        {"backspace removes the selection", 0, 0, "12345", -1, 1, 3, "<BS>", "15"},
        {"backspace leaving no number refused", 0, 0, "a1", -1, -1, 0, "<BS>", "a1"},
        {"leading 0 refused with Min 1", 1, 999, "", -1, -1, 0, "0", ""},
        {"Min 1 takes a first 5", 1, 999, "", -1, -1, 0, "5", "5"},
        {"first digits below Min refused", 10, 99, "", -1, -1, 0, "5", ""},
        {"reached by editing a number in range", 10, 99, "15", 0, 0, 1, "2", "25"},
        {"leading 0 with Min 0", 0, 100, "0", -1, -1, 0, "5", "05"},
        {"digit replaces the selection", 0, 50, "45", -1, 0, 2, "9", "9"},
        {"replacing the selection past Max refused", 0, 50, "45", -1, 0, 1, "9", "45"},
        {"digit at the caret", 0, 0, "12", -1, -1, 0, "<LEFT>3", "132"},
        {"delete after the caret", 0, 0, "123", 0, -1, 0, "<DEL>", "23"},
        {"delete below Min refused", 1, 999, "10", 0, -1, 0, "<DEL>", "10"},
        {"delete keeping Min", 1, 999, "105", 1, -1, 0, "<DEL>", "15"},
        {"delete at the end changes nothing", 0, 0, "12", -1, -1, 0, "<DEL>", "12"},
        {"delete to empty refused with Min 1", 1, 999, "7", 0, -1, 0, "<DEL>", "7"},
        {"minus sign refused", 0, 0, "12", -1, -1, 0, "-", "12"},
        {"letters, space and punctuation refused", 0, 0, "12", -1, -1, 0, "a ,.+e", "12"},
        {"caret keys pass", 0, 0, "12", -1, -1, 0, "<HOME>9", "912"},
    };
    for (const char *kind : {"edit", "combo"}) {
        for (const Case &c : cases) {
            QTest::addRow("%s: %s", kind, c.name)
                << QString(kind) << c.min << c.max << c.text << c.caret << c.selectFrom
                << c.selectLength << c.keys << c.expected;
        }
    }
}

void TestIntegerFields::keys()
{
    QFETCH(QString, kind);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, selectFrom);
    QFETCH(int, selectLength);
    QFETCH(QString, keys);
    QFETCH(QString, expected);

    Field field = makeField(kind);
    field.setMax(max);
    field.setMin(min);
    QCOMPARE(field.min(), min);
    field.edit->setText(text);
    field.edit->setCursorPosition(caret < 0 ? text.size() : caret);
    if (selectFrom >= 0)
        field.edit->setSelection(selectFrom, selectLength);
    field.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(field.widget.get()));

    // Keys go where a user's would: to the edit field, the combo box's focus proxy.
    typeKeys(field.edit, keys);
    QCOMPARE(field.edit->text(), expected);
}

void TestIntegerFields::enterSelectsAllAndReachesDefaultButton_data()
{
    defaults_data();
}

void TestIntegerFields::enterSelectsAllAndReachesDefaultButton()
{
    QFETCH(QString, kind);
    QDialog dialog;
    Field field = makeField(kind);
    field.widget->setParent(&dialog);
    auto *ok = new QPushButton("Ok", &dialog);
    ok->setDefault(true);
    ok->move(0, 40);
    QSignalSpy clicked(ok, &QPushButton::clicked);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    field.widget->setFocus();
    field.edit->setText("123");
    field.edit->setCursorPosition(1);

    QTest::keyClick(field.edit, Qt::Key_Return);
    QCOMPARE(field.edit->selectedText(), QString("123"));
    QCOMPARE(clicked.count(), 1);
    field.widget.release(); // owned by the dialog
}

void TestIntegerFields::clickSelectsAll()
{
    TIntegerEdit edit;
    edit.setText("4567");
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setCursorPosition(2);
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(5, edit.height() / 2));
    QCOMPARE(edit.selectedText(), QString("4567"));
}

void TestIntegerFields::readingClamps_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("textAfter");

    for (const char *kind : {"edit", "combo"}) {
        auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s: %s", kind, name) << QString(kind);
        };
        row("pasted above Max") << 0 << 50 << "75" << 50 << "50";
        row("below Min") << 5 << 50 << "3" << 5 << "5";
        row("empty reads 0 without clamping") << 5 << 50 << "" << 0 << "";
        row("no number counts 0") << 0 << 50 << "abc" << 0 << "abc";
        row("no number clamped to Min") << 5 << 50 << "abc" << 5 << "5";
        row("too long for 32 bits") << 0 << 0 << "99999999999" << 0 << "99999999999";
        row("no Max") << 0 << 0 << "123456" << 123456 << "123456";
        row("within limits") << 1 << 999 << "100" << 100 << "100";
    }
}

void TestIntegerFields::readingClamps()
{
    QFETCH(QString, kind);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QString, textAfter);

    Field field = makeField(kind);
    field.setMax(max);
    field.setMin(min);
    field.edit->setText(text);
    QCOMPARE(field.value(), value);
    QCOMPARE(field.edit->text(), textAfter);
}

void TestIntegerFields::writingValue_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("zeroEmpty");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    for (const char *kind : {"edit", "combo"}) {
        auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s: %s", kind, name) << QString(kind);
        };
        row("0 shown") << false << 0 << "0";
        row("0 empty with ZeroEmpty") << true << 0 << "";
        row("other values shown with ZeroEmpty") << true << 7 << "7";
        row("written unclamped") << false << 500 << "500";
        row("negative") << false << -3 << "-3";
    }
}

void TestIntegerFields::writingValue()
{
    QFETCH(QString, kind);
    QFETCH(bool, zeroEmpty);
    QFETCH(int, value);
    QFETCH(QString, text);
    Field field = makeField(kind);
    field.setMax(100);
    field.setZeroEmpty(zeroEmpty);
    field.setValue(value);
    QCOMPARE(field.edit->text(), text);
}

void TestIntegerFields::writingLimits_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("startMin");
    QTest::addColumn<int>("startMax");
    QTest::addColumn<QString>("limit"); // "min" or "max"
    QTest::addColumn<int>("newLimit");
    QTest::addColumn<int>("expectedMin");
    QTest::addColumn<int>("expectedMax");
    QTest::addColumn<QString>("textAfter"); // the field started with "0"
    for (const char *kind : {"edit", "combo"}) {
        auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s: %s", kind, name) << QString(kind);
        };
        row("Min 1 with Max 0 ignored") << 0 << 0 << "min" << 1 << 0 << 0 << "0";
        row("Min above Max ignored") << 0 << 10 << "min" << 11 << 0 << 10 << "0";
        row("Min normalises the value") << 0 << 100 << "min" << 50 << 50 << 100 << "50";
        row("negative Min with Max 0") << 0 << 0 << "min" << -5 << -5 << 0 << "0";
        row("Max below Min ignored") << 5 << 100 << "max" << 4 << 5 << 100 << "5";
        row("Max 0 below Min ignored") << 5 << 100 << "max" << 0 << 5 << 100 << "5";
        row("Max 0 with Min 0") << 0 << 100 << "max" << 0 << 0 << 0 << "0";
        row("Max normalises the value") << -10 << 100 << "max" << -3 << -10 << -3 << "-3";
    }
}

void TestIntegerFields::writingLimits()
{
    QFETCH(QString, kind);
    QFETCH(int, startMin);
    QFETCH(int, startMax);
    QFETCH(QString, limit);
    QFETCH(int, newLimit);
    QFETCH(int, expectedMin);
    QFETCH(int, expectedMax);
    QFETCH(QString, textAfter);

    Field field = makeField(kind);
    field.setMax(startMax);
    field.setMin(startMin);
    field.setValue(0);
    (limit == "min" ? field.setMin : field.setMax)(newLimit);
    QCOMPARE(field.min(), expectedMin);
    QCOMPARE(field.max(), expectedMax);
    field.value();
    QCOMPARE(field.edit->text(), textAfter);
}

void TestIntegerFields::zeroEmptyComboEmptiesItsList()
{
    TIntegerComboBox combo;
    combo.addItems({"25", "50", "75"});
    combo.setValue(50);
    combo.setZeroEmpty(true); // normalising writes 50 again: the list stays
    QCOMPARE(combo.count(), 3);
    combo.setValue(0);
    QCOMPARE(combo.count(), 0);
    QCOMPARE(combo.currentText(), QString());
    QCOMPARE(combo.value(), 0);
}

void TestIntegerFields::pasteIsNotFiltered()
{
    TIntegerEdit edit;
    edit.setMax(50);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QApplication::clipboard()->setText("75");
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QString("75"));
    QCOMPARE(edit.value(), 50);
    QCOMPARE(edit.text(), QString("50"));
}

void TestIntegerFields::chordedKeys_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected"); // after the key and then a plain 9 at the caret

    const int alt = Qt::AltModifier;
    const int ctrl = Qt::ControlModifier;
    struct Case
    {
        const char *name;
        int key;
        QString text;
        int modifiers;
        QString clipboard, expected;
    };
    const Case cases[] = {
        {"Alt+x refused", Qt::Key_X, "x", alt, "", "129"},
        {"AltGr+v refused", Qt::Key_At, "@", int(Qt::GroupSwitchModifier), "", "129"},
        {"Ctrl+Alt+e refused", Qt::Key_E, QString(QChar(0x20AC)), ctrl | alt, "", "129"},
        {"Shift+a refused", Qt::Key_A, "A", int(Qt::ShiftModifier), "", "129"},
        {"Ctrl+A selects all", Qt::Key_A, "a", ctrl, "", "9"},
        {"Ctrl+V pastes digits", Qt::Key_V, "v", ctrl, "75", "12759"},
        {"Ctrl+V of a letter refused", Qt::Key_V, "v", ctrl, "7x", "129"},
        {"Backspace kept", Qt::Key_Backspace, "", 0, "", "19"},
    };
    for (const char *kind : {"edit", "combo", "money"}) {
        for (const Case &c : cases) {
            QTest::addRow("%s: %s", kind, c.name)
                << QString(kind) << c.key << c.text << c.modifiers << c.clipboard << c.expected;
        }
    }
}

void TestIntegerFields::chordedKeys()
{
    QFETCH(QString, kind);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);

    std::unique_ptr<QWidget> widget;
    QLineEdit *edit = nullptr;
    if (kind == "money") {
        widget = std::make_unique<CurrencyEdit>();
        edit = static_cast<QLineEdit *>(widget.get());
    } else {
        Field field = makeField(kind);
        widget = std::move(field.widget);
        edit = field.edit;
    }
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
    edit->setFocus();
    edit->setText("12");
    QApplication::clipboard()->setText(clipboard);
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(edit, Qt::Key_9);
    QCOMPARE(edit->text(), expected);
}

void TestIntegerFields::comboListChoiceIsNotFilteredNorCompleted()
{
    TIntegerComboBox combo;
    combo.setMax(100);
    combo.addItems({"25", "150"});
    combo.setValue(25);
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));

    QTest::keyClick(&combo, Qt::Key_Down); // a choice from the list
    QCOMPARE(combo.currentText(), QString("150"));
    QCOMPARE(combo.value(), 100);

    combo.lineEdit()->clear();
    QTest::keyClick(&combo, Qt::Key_1); // no completion to "150"
    QCOMPARE(combo.currentText(), QString("1"));
    QTest::keyClick(&combo, Qt::Key_Return); // nor is the typed number added
    QCOMPARE(combo.count(), 2);
}

void TestIntegerFields::valueThroughPropertySystem()
{
    TIntegerEdit edit;
    TIntegerComboBox combo;
    for (QWidget *w : {static_cast<QWidget *>(&edit), static_cast<QWidget *>(&combo)}) {
        QVERIFY(w->setProperty("max", 100));
        QVERIFY(w->setProperty("value", 42));
        QCOMPARE(w->property("value").toInt(), 42);
        QVERIFY(w->setProperty("value", 420));
        QCOMPARE(w->property("value").toInt(), 100);
        QCOMPARE(w->metaObject()->userProperty().name(), "value");
    }
}

QTEST_MAIN(TestIntegerFields)
#include "tst_integerfields.moc"
