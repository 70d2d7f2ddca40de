#include "startup/forminitialization.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

namespace {

// One progress call, as text: "add:<text>", "replace:<text>", "ok", "error", "result:1"/"result:0".
void perform(const QString &call)
{
    const QString argument = call.section(':', 1);
    if (call.startsWith("add:"))
        AddProgress(argument);
    else if (call.startsWith("replace:"))
        ReplaceProgress(argument);
    else if (call == "ok")
        ProgressOk();
    else if (call == "error")
        ProgressError();
    else if (call.startsWith("result:"))
        ProgressResult(argument == "1");
    else
        QFAIL(qPrintable("unknown call " + call));
}

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void window();
    void operations_data();
    void operations();
    void withoutWindowNothingHappens();
    void referenceFollowsTheWindowsLife();
    void neverTakesTheFocus();
    void cannotBeClosedByTheUser();
};

void TestProgress::window()
{
    TFormInitialization form;
    QCOMPARE(form.windowTitle(), QString(" Inicializace"));
    QCOMPARE(form.size(), QSize(378, 573));
    QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.Memo()->geometry(), form.rect());
    QVERIFY(form.Memo()->isReadOnly());
    QCOMPARE(form.Memo()->font().pixelSize(), 11);
    QVERIFY(form.lines().isEmpty());
}

void TestProgress::operations_data()
{
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("replace right after add leaves one line")
        << QStringList{"add:Odebírání: 0%", "replace:Odebírání: 45%"}
        << QStringList{"Odebírání: 45%"};
    QTest::newRow("result false adds Error") << QStringList{"add:Start I/O ovladače", "result:0"}
                                             << QStringList{"Start I/O ovladače", "Error"};
    QTest::newRow("result true adds Ok") << QStringList{"add:Otevírání databází", "result:1"}
                                         << QStringList{"Otevírání databází", "Ok"};
    QTest::newRow("a step's progress, then Ok")
        << QStringList{"add:Startuje se program Velmora 1.0.2.3",
                       "ok",
                       "add:Balení: 0%",
                       "replace:Balení: 50%",
                       "replace:Balení: 100%",
                       "ok"}
        << QStringList{"Startuje se program Velmora 1.0.2.3", "Ok", "Balení: 100%", "Ok"};
    QTest::newRow("Ok in place of the last figure")
        << QStringList{"add:Kopírování: 3", "replace:Ok"} << QStringList{"Ok"};
    QTest::newRow("replace touches only the last line")
        << QStringList{"add:a", "add:b", "replace:c"} << QStringList{"a", "c"};
    QTest::newRow("replace with no line yet adds it")
        << QStringList{"replace:x", "add:y"} << QStringList{"x", "y"};
    QTest::newRow("empty lines count") << QStringList{"add:", "add:b"} << QStringList{"", "b"};
    QTest::newRow("error and ok") << QStringList{"error", "ok"} << QStringList{"Error", "Ok"};
}

void TestProgress::operations()
{
    QFETCH(QStringList, calls);
    QFETCH(QStringList, lines);
    TFormInitialization form;
    form.show();
    for (const QString &call : calls)
        perform(call);
    QCOMPARE(form.lines(), lines);
    QCOMPARE(form.Memo()->toPlainText(), lines.join('\n'));
}

void TestProgress::withoutWindowNothingHappens()
{
    QCOMPARE(FormInitialization(), nullptr);
    AddProgress("a");
    ReplaceProgress("b");
    ProgressOk();
    ProgressError();
    ProgressResult(true);
    TFormInitialization form;
    QVERIFY(form.lines().isEmpty());
}

void TestProgress::referenceFollowsTheWindowsLife()
{
    auto form = std::make_unique<TFormInitialization>();
    QCOMPARE(FormInitialization(), form.get());
    AddProgress("a");
    form.reset();
    QCOMPARE(FormInitialization(), nullptr);
    ProgressOk(); // no window: nothing, no crash
}

void TestProgress::neverTakesTheFocus()
{
    QWidget other;
    auto *input = new QLineEdit(&other);
    other.show();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    input->setFocus();

    TFormInitialization form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Memo()->focusPolicy(), Qt::NoFocus);
    form.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &form);
    QCOMPARE(QApplication::focusWidget(), nullptr);
    QTest::mouseClick(form.Memo()->viewport(), Qt::LeftButton);
    QVERIFY(!form.Memo()->hasFocus());
}

void TestProgress::cannotBeClosedByTheUser()
{
    TFormInitialization form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
