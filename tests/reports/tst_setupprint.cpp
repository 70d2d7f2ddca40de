#include "core/textfile.h"
#include "desk/settings/printsettingsstore.h"
#include "fakes/childcontrol.h"
#include "reports/engine/reportfonts.h"
#include "reports/engine/reportlayout.h"
#include "reports/formqrsalesolara5.h"
#include "reports/formsetupprint.h"
#include "support/filebytes.h"
#include "ui/common/memolinelimit.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>

namespace {

QStringList lines(const QPlainTextEdit *memo)
{
    return memo->toPlainText().split(QChar(u'\n'));
}

QStringList numbered(int count, const QString &text = "Řádek %1")
{
    QStringList result;
    for (int i = 1; i <= count; ++i)
        result << text.arg(i);
    return result;
}

// The caret at the column of the block; -1 is the block's end.
void placeCaret(QPlainTextEdit *memo, int block, int column)
{
    const QTextBlock line = memo->document()->findBlockByNumber(block);
    QTextCursor cursor(line);
    cursor.setPosition(line.position() + (column < 0 ? line.length() - 1 : column));
    memo->setTextCursor(cursor);
}

int caretColumn(const QPlainTextEdit *memo)
{
    const QTextCursor cursor = memo->textCursor();
    return cursor.atBlockEnd() ? -1 : cursor.positionInBlock();
}

const QString Wrapping = "Otevřeno denně od osmi do dvaceti hodin, v neděli a ve svátky od deseti";

ReceiptTextBox boxOf(const QString &memo)
{
    return memo == "MemoTitle"     ? ReceiptTextBox::title()
           : memo == "MemoAddress" ? ReceiptTextBox::address()
                                   : ReceiptTextBox::info();
}

QStringList printedLines(const QString &memo, const QString &line)
{
    return boxOf(memo).printedLines(line, ReportMetrics());
}

// The lines as the memo shows them, without the spaces at their breaks.
QStringList shownLines(const QPlainTextEdit *memo)
{
    QStringList shown;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        memo->document()->documentLayout()->blockBoundingRect(block); // laid out now
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            shown << block.text().mid(line.textStart(), line.textLength()).trimmed();
        }
    }
    return shown;
}

// The lines that the receipt prints in the memo's box.
QStringList receiptLines(const QString &memo, const QStringList &lines)
{
    ReportDefinition receipt;
    receipt.titleBand = ReportBand{95, {}};
    addReceiptTexts(*receipt.titleBand, {memo == "MemoAddress" ? lines : QStringList(),
                                         memo == "MemoTitle" ? lines : QStringList(),
                                         memo == "MemoInfo" ? lines : QStringList()});
    QStringList printed;
    for (const PageItem &item : ReportLayout::layOut(receipt).pages.value(0).items)
        printed << std::get<TextItem>(item).text;
    return printed;
}

} // namespace

class TestSetupPrint : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void memoKeys_data();
    void memoKeys();
    void pasteKeepsFirstLines_data();
    void pasteKeepsFirstLines();
    void storedLinesBeyondLimitDropped();
    void memosShowWhatPrints_data();
    void memosShowWhatPrints();
    void settingsRoundTrip();
    void leavingTheWindow_data();
    void leavingTheWindow();

private:
    // A start of the program: the store reads its section, and the window edits it.
    std::unique_ptr<TFormSetupPrint> makeWindow();
    PrintSettingsStore &store() { return *m_stores.back(); }
    void storeEdits(const QStringList &address, bool automatic);
    QString iniPath() const { return m_dir->filePath("config/Velmora.ini"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<PrintSettingsStore>> m_stores; // one per start
};

void TestSetupPrint::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("VELMORA_CONFIG_DIR", m_dir->filePath("config").toUtf8());
    MessageDialogsTestHook::engage();
}

void TestSetupPrint::cleanup()
{
    QVERIFY(MessageDialogsTestHook::takeMessages().isEmpty());
    MessageDialogsTestHook::release();
    qunsetenv("VELMORA_CONFIG_DIR");
    m_stores.clear();
    m_dir.reset();
}

std::unique_ptr<TFormSetupPrint> TestSetupPrint::makeWindow()
{
    if (!m_stores.empty())
        m_stores.back()->writeIfReadSinceWrite();
    m_stores.push_back(std::make_unique<PrintSettingsStore>());
    ConfigError error;
    if (!store().read(&error))
        qWarning() << error.message << error.detail;
    limitToReceipt(store());
    return std::make_unique<TFormSetupPrint>(store());
}

// As a user leaves the window with "Ok".
void TestSetupPrint::storeEdits(const QStringList &address, bool automatic)
{
    auto window = makeWindow();
    window->show();
    child<QPlainTextEdit>(*window, "MemoAddress")->setPlainText(address.join('\n'));
    child<QRadioButton>(*window, automatic ? "RadioButtonAuto" : "RadioButtonManual")
        ->setChecked(true);
    QTest::mouseClick(child<QPushButton>(*window, "ButtonOk"), Qt::LeftButton);
    QCOMPARE(window->result(), int(QDialog::Accepted));
}

// --- Memo limits ---------------------------------------------------------------------------

void TestSetupPrint::memoKeys_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("blockAfter");
    QTest::addColumn<int>("columnAfter");

    const int shift = int(Qt::ShiftModifier);
    for (const auto &[memo, n] : {std::pair{QString("MemoAddress"), TFormSetupPrint::AddressLines},
                                  std::pair{QString("MemoTitle"), TFormSetupPrint::TitleLines}}) {
        const auto row = [&memo = memo](const char *name) -> QTestData & {
            return QTest::addRow("%s: %s", qPrintable(memo), name) << memo;
        };
        const QStringList full = numbered(n);
        const QStringList oneShort = numbered(n - 1);
        const QStringList wrapped = printedLines(memo, Wrapping);
        QVERIFY(wrapped.size() > 1 && wrapped.size() < n);
        const QStringList longLast = numbered(n - int(wrapped.size())) << Wrapping;
        // One printed line, full to its end: a letter more moves its last word to the next line.
        QString filledLine = "mm";
        while (printedLines(memo, filledLine + " mm").size() == 1)
            filledLine += " mm";
        while (printedLines(memo, filledLine + "m").size() == 1)
            filledLine += "m";
        const QStringList filled = numbered(n - 1) << filledLine;
        // Inside a line: a new line at the end of the last one would also go as a line too many.
        row("Enter refused at the limit")
            << full << 1 << 3 << int(Qt::Key_Return) << 0 << full << 1 << 3;
        row("keypad Enter refused at the limit")
            << full << 0 << 2 << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << full << 0 << 2;
        row("Enter below the limit") << oneShort << n - 2 << -1 << int(Qt::Key_Return) << 0
                                     << (QStringList(oneShort) << "") << n - 1 << -1;
        row("Shift+Enter below the limit starts a line")
            << oneShort << n - 2 << 3 << int(Qt::Key_Return) << shift
            << (numbered(n - 2) << QString("Řád") << QString("ek %1").arg(n - 1)) << n - 1 << 0;
        row("Shift+Enter refused at the limit")
            << full << n - 1 << 2 << int(Qt::Key_Return) << shift << full << n - 1 << 2;
        row("Page Down ignored") << full << 0 << 0 << int(Qt::Key_PageDown) << 0 << full << 0 << 0;
        // Lines count as they print, wrapped at the receipt's width.
        const int lastBlock = n - int(wrapped.size());
        const int lastLineStart = int(Wrapping.indexOf(wrapped.constLast()));
        row("Down ignored on the last line where it wraps")
            << longLast << lastBlock << lastLineStart << int(Qt::Key_Down) << 0 << longLast
            << lastBlock << lastLineStart;
        row("Enter refused when wrapped lines fill the memo")
            << longLast << 0 << -1 << int(Qt::Key_Return) << 0 << longLast << 0 << -1;
        row("typing refused where it wraps onto a line too many")
            << filled << n - 1 << -1 << int(Qt::Key_M) << 0 << filled << n - 1 << -1;
        row("Down moves onto the last line")
            << full << n - 2 << 0 << int(Qt::Key_Down) << 0 << full << n - 1 << 0;
        row("Right ignored at the end of the last line")
            << full << n - 1 << -1 << int(Qt::Key_Right) << 0 << full << n - 1 << -1;
        row("Right moves inside the last line")
            << full << n - 1 << 0 << int(Qt::Key_Right) << 0 << full << n - 1 << 1;
    }
}

void TestSetupPrint::memoKeys()
{
    QFETCH(QString, memo);
    QFETCH(QStringList, before);
    QFETCH(int, block);
    QFETCH(int, column);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, after);
    QFETCH(int, blockAfter);
    QFETCH(int, columnAfter);

    auto window = makeWindow();
    window->show();
    auto *edit = child<QPlainTextEdit>(*window, memo);
    edit->setPlainText(before.join('\n'));
    QCOMPARE(lines(edit), before);
    placeCaret(edit, block, column);
    QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(lines(edit), after);
    QCOMPARE(edit->textCursor().blockNumber(), blockAfter);
    QCOMPARE(caretColumn(edit), columnAfter);
    QVERIFY(window->isVisible()); // no key reached the dialog's buttons
}

void TestSetupPrint::pasteKeepsFirstLines_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("block"); // the caret at its end
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QStringList>("after");

    const QString ten = numbered(10, "%1").join('\n');
    QTest::newRow("ten lines into the header")
        << "MemoTitle" << QStringList{""} << 0 << ten << numbered(4, "%1");
    QTest::newRow("ten lines into the address")
        << "MemoAddress" << QStringList{""} << 0 << ten << numbered(6, "%1");
    QTest::newRow("ten lines into the info")
        << "MemoInfo" << QStringList{""} << 0 << ten << numbered(6, "%1");
    QTest::newRow("header filled up to the limit") << "MemoTitle" << QStringList{"A", "B"} << 1
                                                   << "1\n2\n3" << QStringList{"A", "B1", "2", "3"};
    QTest::newRow("the header's own last lines pushed out")
        << "MemoTitle" << QStringList{"A", "B", "C"} << 0 << "x\ny\nz"
        << QStringList{"Ax", "y", "z", "B"};
    const qsizetype wrapped = printedLines("MemoAddress", Wrapping).size();
    QTest::newRow("a wrapping line counts as its printed lines")
        << "MemoAddress" << QStringList{""} << 0 << Wrapping + "\nA\nB\nC\nD\nE\nF"
        << (QStringList{Wrapping} << QStringList{"A", "B", "C", "D", "E"}.mid(0, 6 - wrapped));
    QTest::newRow("a line cut where its printed line ends")
        << "MemoTitle" << QStringList{""} << 0 << "A\nB\nC\n" + Wrapping
        << QStringList{"A", "B", "C", printedLines("MemoTitle", Wrapping).first()};
}

void TestSetupPrint::pasteKeepsFirstLines()
{
    QFETCH(QString, memo);
    QFETCH(QStringList, before);
    QFETCH(int, block);
    QFETCH(QString, pasted);
    QFETCH(QStringList, after);

    auto window = makeWindow();
    window->show();
    auto *edit = child<QPlainTextEdit>(*window, memo);
    edit->setPlainText(before.join('\n'));
    placeCaret(edit, block, -1);
    QApplication::clipboard()->setText(pasted);
    edit->paste();
    QCOMPARE(lines(edit), after);
    edit->undo(); // the paste and the removal are one step
    QCOMPARE(lines(edit), before);
}

void TestSetupPrint::storedLinesBeyondLimitDropped()
{
    // A file edited by hand may hold more lines than the receipt has room for.
    QStringList file{"[SetupPrint.MemoAddress_Lines]", "Count=8"};
    for (int i = 0; i < 8; ++i)
        file << QString("Item%1=Adresa %2").arg(i).arg(i + 1);
    QVERIFY(QDir().mkpath(m_dir->filePath("config")));
    QVERIFY(Cp1250Lines::write(iniPath(), file).ok());
    auto window = makeWindow();
    QCOMPARE(store().addressLines(), numbered(6, "Adresa %1"));
}

void TestSetupPrint::memosShowWhatPrints_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::newRow("address with IČ, DIČ and phone")
        << "MemoAddress"
        << QStringList{"Solárium Velmora s.r.o.",
                       "Náměstí Míru 1234/12, 110 00 Praha 1",
                       "IČ: 12345678",
                       "DIČ: CZ12345678",
                       "Tel.: +420 777 123 456",
                       "E-mail: recepce@velmora.cz"}
        << 7.0 << false;
    QTest::newRow("header that wraps")
        << "MemoTitle"
        << QStringList{"Děkujeme za návštěvu a těšíme se na Vás příště", "Studio Paprsek",
                       "Otevřeno denně"}
        << 11.0 << true;
    QTest::newRow("info") << "MemoInfo" << QStringList{Wrapping, "Permanentky na recepci", Wrapping}
                          << 7.0 << false;
}

void TestSetupPrint::memosShowWhatPrints()
{
    QFETCH(QString, memo);
    QFETCH(QStringList, typed);
    QFETCH(double, points);
    QFETCH(bool, bold);
    auto window = makeWindow();
    window->show();
    auto *edit = child<QPlainTextEdit>(*window, memo);
    QCOMPARE(QFontInfo(edit->font()).family(), QString("Liberation Sans"));
    QCOMPARE(edit->font().pointSizeF(), points);
    QCOMPARE(edit->font().bold(), bold);

    edit->setPlainText(typed.join('\n'));
    const QStringList shown = shownLines(edit);
    QCOMPARE(shown.size(), memo == "MemoTitle" ? 4 : 6); // more was typed than the box holds
    QCOMPARE(edit->verticalScrollBar()->maximum(), 0);   // every line in view
    QCOMPARE(receiptLines(memo, memoLines(edit)), shown);
}

// --- Stored values -------------------------------------------------------------------------

void TestSetupPrint::settingsRoundTrip()
{
    {
        auto window = makeWindow(); // no file: the defaults
        QCOMPARE(store().addressLines(), QStringList());
        QCOMPARE(store().titleLines(), QStringList());
        QCOMPARE(store().infoLines(), QStringList());
        QVERIFY(store().manualPrinting());
        window->show();
        child<QPlainTextEdit>(*window, "MemoAddress")
            ->setPlainText("Solárium Velmora\nNáměstí Míru 12\n\n110 00 Praha 1");
        child<QPlainTextEdit>(*window, "MemoTitle")->setPlainText("\"Děkujeme\"");
        child<QRadioButton>(*window, "RadioButtonAuto")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(*window, "ButtonOk"), Qt::LeftButton);
        QCOMPARE(window->result(), int(QDialog::Accepted));
    }
    QCOMPARE(readBytes(iniPath()),
             cp1250(crlf("[SetupPrint]\nFormVersion=0\nRadioButtonManual_Checked=False\n"
                         "RadioButtonAuto_Checked=True\n\n[SetupPrint.MemoAddress_Lines]\nCount=4\n"
                         "Item0=Solárium Velmora\nItem1=Náměstí Míru 12\nItem2=\nItem3=110 00 "
                         "Praha 1\n\n[SetupPrint.MemoTitle_Lines]\nCount=1\n"
                         "Item0=\"\"Děkujeme\"\"\n")));

    auto window = makeWindow();
    QCOMPARE(store().addressLines(),
             QStringList({"Solárium Velmora", "Náměstí Míru 12", "", "110 00 Praha 1"}));
    QCOMPARE(store().titleLines(), QStringList{"\"Děkujeme\""});
    QCOMPARE(store().infoLines(), QStringList());
    QVERIFY(!store().manualPrinting());
}

void TestSetupPrint::leavingTheWindow_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("kept");
    QTest::newRow("Storno") << "Storno" << false;
    QTest::newRow("Escape") << "Escape" << false;
    QTest::newRow("close box") << "close box" << true;
}

void TestSetupPrint::leavingTheWindow()
{
    QFETCH(QString, how);
    QFETCH(bool, kept);
    const QStringList stored{"Solárium Velmora", "Praha"};
    storeEdits(stored, false);
    const QByteArray before = readBytes(iniPath());

    auto window = makeWindow();
    window->show();
    auto *address = child<QPlainTextEdit>(*window, "MemoAddress");
    address->setPlainText("Jinde");
    child<QPlainTextEdit>(*window, "MemoInfo")->setPlainText("Nové info"); // stored empty
    child<QRadioButton>(*window, "RadioButtonAuto")->setChecked(true);
    if (how == "Storno")
        QTest::mouseClick(child<QPushButton>(*window, "ButtonCancel"), Qt::LeftButton);
    else if (how == "Escape")
        QTest::keyClick(address, Qt::Key_Escape);
    else
        window->close();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
    for (int opening = 1; opening <= 2; ++opening) { // as left, then at the next opening
        QCOMPARE(store().addressLines(), kept ? QStringList{"Jinde"} : stored);
        QCOMPARE(store().infoLines(), kept ? QStringList{"Nové info"} : QStringList());
        QCOMPARE(store().manualPrinting(), !kept);
        QCOMPARE(readBytes(iniPath()) == before, !kept);
        window->show();
    }
}

QTEST_MAIN(TestSetupPrint)
#include "tst_setupprint.moc"
