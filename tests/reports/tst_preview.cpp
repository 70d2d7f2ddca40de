#include "fakes/childcontrol.h"
#include "fakes/whenmodal.h"
#include "pdftext.h"

#include "reports/engine/pagefile.h"
#include "reports/formpreview.h"
#include "reports/formprint.h"
#include "reports/previewarea.h"
#include "reports/reportpreview.h"
#include "ui/common/messagedialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

// An A5 report of `count` pages, each saying which it is.
PageStore pages(int count, const QString &title = "000000123")
{
    PageStore store;
    store.title = title;
    store.pageSize = QSize(14800, 21000);
    for (int page = 1; page <= count; ++page) {
        TextItem text{QRect(2000, 2000, 8000, 600),
                      {},
                      ReportAlignment::Left,
                      QString("Strana %1").arg(page)};
        store.pages.append(ReportPage{{text}});
    }
    return store;
}

QString statusText(TFormPreview &preview)
{
    return child<QLabel>(preview, "StatusBar")->text();
}

// Which of First, Previous, Next, Last are enabled, as "FPNL" with dashes for the disabled.
QString pageButtons(TFormPreview &preview)
{
    QString state;
    for (const char *name : {"BitBtnFirst", "BitBtnPrev", "BitBtnNext", "BitBtnLast"})
        state += child<QPushButton>(preview, name)->isEnabled() ? QChar(name[6]) : QChar('-');
    return state;
}

void choose(QFileDialog *dialog, const QString &file)
{
    dialog->selectFile(file);
    static_cast<QDialog *>(dialog)->accept(); // public there; QFileDialog's own runs
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MessageDialogsTestHook::engage(); }
    void navigation_data();
    void navigation();
    void zoomByClicks();
    void printsRangeCollated_data();
    void printsRangeCollated();
    void savesAndOpensPages();
    void mainWindowDisabledWhileOpen();
    void openedOverModalDialogTakesInput();
};

void TestPreview::navigation_data()
{
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QString>("typed");    // into "Přejdi na stránku:", then Enter
    QTest::addColumn<QKeySequence>("key"); // then pressed, when not empty
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("buttons");
    QTest::newRow("one page") << 1 << "1" << QKeySequence() << "1"
                              << "Stránka 1/1"
                              << "----";
    QTest::newRow("beyond the last") << 3 << "50" << QKeySequence() << "3"
                                     << "Stránka 3/3"
                                     << "FP--";
    QTest::newRow("Page Up") << 3 << "3" << QKeySequence(Qt::Key_PageUp) << "3"
                             << "Stránka 2/3"
                             << "FPNL";
    QTest::newRow("Page Down on the last") << 3 << "3" << QKeySequence(Qt::Key_PageDown) << "3"
                                           << "Stránka 3/3"
                                           << "FP--";
    QTest::newRow("Ctrl+Home") << 3 << "2" << QKeySequence(Qt::CTRL | Qt::Key_Home) << "2"
                               << "Stránka 1/3"
                               << "--NL";
    QTest::newRow("Ctrl+End") << 4 << "1" << QKeySequence(Qt::CTRL | Qt::Key_End) << "1"
                              << "Stránka 4/4"
                              << "FP--";
}

void TestPreview::navigation()
{
    QFETCH(int, pageCount);
    QFETCH(QString, typed);
    QFETCH(QKeySequence, key);
    TFormPreview preview(pages(pageCount));
    preview.setAttribute(Qt::WA_DeleteOnClose, false);
    preview.show();
    QVERIFY(QTest::qWaitForWindowActive(&preview));
    auto *gotoPage = child<QLineEdit>(preview, "IntegerEditGotoPage");
    gotoPage->setFocus();
    gotoPage->selectAll();
    QTest::keyClicks(gotoPage, typed);
    QTest::keyClick(gotoPage, Qt::Key_Return);
    if (!key.isEmpty())
        QTest::keySequence(&preview, key);
    QTEST(gotoPage->text(), "field");
    QTEST(statusText(preview), "status");
    QTEST(pageButtons(preview), "buttons");
    QCOMPARE(preview.windowTitle(), QString("000000123"));
}

void TestPreview::zoomByClicks()
{
    TFormPreview preview(pages(1));
    preview.setAttribute(Qt::WA_DeleteOnClose, false);
    preview.show();
    auto *area = child<PreviewArea>(preview, "PreviewArea");
    QWidget *sheet = area->widget();
    auto *zoomBox = child<QComboBox>(preview, "IntegerComboBoxZoom");
    for (int click = 0; click < 10; ++click)
        QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(preview.zoom(), 200);
    QCOMPARE(zoomBox->currentText(), QString("200"));
    QTest::mouseClick(sheet, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseClick(sheet, Qt::MiddleButton, {}, QPoint(5, 5));
    QCOMPARE(preview.zoom(), 190);
    area->setZoom(1); // outside 2..2000: ignored
    QCOMPARE(preview.zoom(), 190);
    child<QPushButton>(preview, "BitBtnFitHeight")->click();
    const QSize sheetSize = sheet->size();
    QVERIFY(sheetSize.height() <= area->viewport()->height());
    QVERIFY(sheetSize.height() >= 0.9 * area->viewport()->height());
}

void TestPreview::printsRangeCollated_data()
{
    QTest::addColumn<bool>("toFile"); // else onto the machine's printers: none here
    QTest::newRow("into a PDF file") << true;
    QTest::newRow("no printer installed") << false;
}

void TestPreview::printsRangeCollated()
{
    QFETCH(bool, toFile);
    if (!toFile && !QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("a printer is installed here");
    QTemporaryDir folder;
    const QString pdf = folder.filePath("job.pdf");
    TFormPreview preview(pages(4));
    preview.setAttribute(Qt::WA_DeleteOnClose, false);
    if (toFile)
        preview.printer().setOutputFileName(pdf);
    whenModal<TFormPrint>([](TFormPrint *dialog) {
        QCOMPARE(child<QSpinBox>(*dialog, "RxSpinEditTo")->maximum(), 4);
        child<QSpinBox>(*dialog, "RxSpinEditFrom")->setValue(2);
        child<QSpinBox>(*dialog, "RxSpinEditTo")->setValue(3);
        QVERIFY(child<QRadioButton>(*dialog, "RadioButtonRange")->isChecked());
        child<QSpinBox>(*dialog, "RxSpinEditCopy")->setValue(2);
        dialog->accept();
    });
    preview.BitBtnPrintSetupClick();
    const auto messages = MessageDialogsTestHook::takeMessages();
    if (!toFile) {
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().detail, QString("Není nainstalována žádná tiskárna..."));
        return;
    }
    QVERIFY(messages.isEmpty());
    QStringList printed;
    for (const QString &page : pdfPageTexts(pdf))
        printed << page.simplified();
    QCOMPARE(printed, (QStringList{"Strana 2", "Strana 3", "Strana 2", "Strana 3"}));
}

void TestPreview::savesAndOpensPages()
{
    QTemporaryDir folder;
    const QString file = folder.filePath("uloženo.qrp");
    TFormPreview saving(pages(3, "Tržby"));
    saving.setAttribute(Qt::WA_DeleteOnClose, false);
    whenModal<QFileDialog>([file](QFileDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Uložit do QRP"));
        QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), QString("Tržby.qrp"));
        QCOMPARE(dialog->nameFilters(), QStringList{"Stránky sestavy (*.qrp)"});
        choose(dialog, file);
    });
    saving.BitBtnSaveClick();

    TFormPreview opening(pages(2));
    opening.setAttribute(Qt::WA_DeleteOnClose, false);
    opening.show();
    auto *gotoPage = child<QLineEdit>(opening, "IntegerEditGotoPage");
    gotoPage->setText("2");
    QTest::keyClick(gotoPage, Qt::Key_Return);
    whenModal<QFileDialog>([file](QFileDialog *dialog) { choose(dialog, file); });
    opening.ButtonOpenClick();
    QVERIFY(MessageDialogsTestHook::takeMessages().isEmpty());
    QCOMPARE(opening.store(), saving.store());
    QCOMPARE(statusText(opening), QString("Stránka 1/3"));
    QCOMPARE(gotoPage->text(), QString("1")); // the page shown, not the one typed before
}

void TestPreview::mainWindowDisabledWhileOpen()
{
    QWidget mainWindow;
    mainWindow.show();
    bool disabledWhileOpen = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *preview = qobject_cast<TFormPreview *>(window)) {
                disabledWhileOpen = !mainWindow.isEnabled() && preview->isEnabled();
                child<QPushButton>(*preview, "BitBtnClose")->click();
            }
        }
    });
    WindowPreview(&mainWindow).preview(pages(2));
    QVERIFY(disabledWhileOpen);
    QVERIFY(mainWindow.isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<TFormPreview *>(window)); // deleted itself
}

void TestPreview::openedOverModalDialogTakesInput()
{
    QWidget mainWindow;
    QDialog browser(&mainWindow);
    bool previewTookInput = false;
    whenModal<QDialog>([&](QDialog *dialog) {
        QTimer::singleShot(0, [&] {
            previewTookInput = qobject_cast<TFormPreview *>(QApplication::activeModalWidget());
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *preview = qobject_cast<TFormPreview *>(window))
                    child<QPushButton>(*preview, "BitBtnClose")->click();
            }
        });
        WindowPreview(&mainWindow).preview(pages(1));
        dialog->reject();
    });
    browser.exec();
    QVERIFY(previewTookInput);
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
