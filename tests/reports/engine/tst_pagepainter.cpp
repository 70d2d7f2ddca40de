#include "pdftext.h"
#include "reports/engine/pagepainter.h"
#include "reports/engine/reportfonts.h"
#include "reports/engine/reportlayout.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

namespace {

const ReportFont Font8{QStringLiteral("Arial"), 8, false};

// The bounds of the dark pixels, in millimetres.
QRectF inkMm(const QImage &image, double pixelsPerMillimetre)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return QRectF(QRectF(ink).topLeft() / pixelsPerMillimetre,
                  QRectF(ink).size() / pixelsPerMillimetre);
}

// Three pages under a header with the page number: days 1-3, 4-6 and 7-8.
PageStore threePages()
{
    ReportDefinition definition;
    definition.title = QStringLiteral("Tržby");
    definition.columnHeader = ReportBand{20, {}};
    definition.columnHeader->add(
        ReportElement::pageNumber(QRectF(0, 1.1, 0, 4), "Strana: ", Font8));
    definition.columnHeader->add(ReportElement::fixedText(
        QRectF(0, 6, 127.8, 5), "Prodej služeb", {"Arial", 10, true}, ReportAlignment::Centre));
    int day = 0;
    definition.detail = ReportBand{55, {}};
    definition.detail->add(ReportElement::dataText(
        QRectF(11.4, 0, 60, 4), [&] { return QStringLiteral("Den %1 účtován").arg(day); }, Font8));
    definition.detail->add(ReportElement::line(11.4, 5, 100));
    definition.needData = [&](bool &more) { more = ++day <= 8; };
    return ReportLayout::layOut(definition);
}

} // namespace

class TestPagePainter : public QObject
{
    Q_OBJECT

private slots:
    void textFitsItsBoxAtEveryScale_data();
    void textFitsItsBoxAtEveryScale();
    void pagesComeOutOnTheirPages_data();
    void pagesComeOutOnTheirPages();
};

void TestPagePainter::textFitsItsBoxAtEveryScale_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("pixelsPerMillimetre");
    QTest::addColumn<int>("dpi");
    for (const auto &[name, alignment] :
         {std::pair{"left", ReportAlignment::Left}, std::pair{"right", ReportAlignment::Right},
          std::pair{"centre", ReportAlignment::Centre}}) {
        QTest::addRow("%s, screen 100 %%", name) << int(alignment) << 96 / 25.4 << 96;
        QTest::addRow("%s, screen 175 %%", name) << int(alignment) << 1.75 * 96 / 25.4 << 96;
        QTest::addRow("%s, printer 600 dpi", name) << int(alignment) << 600 / 25.4 << 600;
    }
}

void TestPagePainter::textFitsItsBoxAtEveryScale()
{
    QFETCH(int, alignment);
    QFETCH(double, pixelsPerMillimetre);
    QFETCH(int, dpi);
    const QString text = QStringLiteral("Datum zdanitelného plnění:");
    PageStore store;
    store.pageSize = QSize(6000, 2000);
    store.pages.append(
        {{TextItem{QRect(500, 500, 5000, 400), Font8, ReportAlignment(alignment), text},
          LineItem{QLine(500, 1500, 5500, 1500), 20}}});
    QImage image(qFloor(60 * pixelsPerMillimetre), qFloor(20 * pixelsPerMillimetre),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    PagePainter::paintPage(painter, store, 0, pixelsPerMillimetre);
    painter.end();
    QCOMPARE(image.pixel(image.width() / 2, 1), qRgb(255, 255, 255));
    const QRectF line = inkMm(image.copy(0, image.height() / 2, image.width(), image.height() / 2),
                              pixelsPerMillimetre);
    QVERIFY(qAbs(line.width() - 50) < 2 / pixelsPerMillimetre);

    // Where the outlines start and end inside the advance measured at the reference resolution.
    QImage reference(1, 1, QImage::Format_RGB32);
    reference.setDotsPerMeterX(qRound(ReportFonts::ReferenceDpi / 0.0254));
    reference.setDotsPerMeterY(qRound(ReportFonts::ReferenceDpi / 0.0254));
    const QFontMetricsF metrics(ReportFonts::toQFont(Font8), &reference);
    const double mm = 25.4 / ReportFonts::ReferenceDpi;
    const double advance = metrics.horizontalAdvance(text) * mm;
    const double gap = 50 - advance;
    const double start = 5 + (ReportAlignment(alignment) == ReportAlignment::Right    ? gap
                              : ReportAlignment(alignment) == ReportAlignment::Centre ? gap / 2
                                                                                      : 0);
    const double slack = 0.05 + 1.5 / pixelsPerMillimetre; // antialiasing
    const QRectF ink =
        inkMm(image.copy(0, 0, image.width(), image.height() / 2), pixelsPerMillimetre);
    QVERIFY2(qAbs(ink.left() - (start + metrics.leftBearing(text.front()) * mm)) < slack,
             qPrintable(QString::number(ink.left())));
    QVERIFY2(qAbs(ink.right() - (start + advance - metrics.rightBearing(text.back()) * mm)) < slack,
             qPrintable(QString::number(ink.right())));
    QVERIFY(ink.top() >= 5 && ink.bottom() <= 5 + metrics.height() * mm + slack);
}

void TestPagePainter::pagesComeOutOnTheirPages_data()
{
    QTest::addColumn<bool>("throughPrinter");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("error");
    QTest::newRow("pdf file") << false << QString() << QString();
    QTest::newRow("printer") << true << QString() << QString();
    QTest::newRow("pdf file fails") << false << "/nonexistent"
                                    << "Soubor /nonexistent/tržby.pdf se nepodařilo vytvořit...";
    QTest::newRow("printer fails") << true << "/nonexistent"
                                   << "Tisk sestavy Tržby se nepodařilo zahájit...";
}

void TestPagePainter::pagesComeOutOnTheirPages()
{
    QFETCH(bool, throughPrinter);
    QFETCH(QString, folder);
    QFETCH(QString, error);
    const PageStore store = threePages();
    QTemporaryDir directory;
    const QString file = (folder.isEmpty() ? directory.path() : folder) + "/tržby.pdf";
    QString message;
    bool done = false;
    if (!error.isEmpty() && throughPrinter)
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    if (throughPrinter) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        done = PagePainter::printStore(store, printer, &message);
    } else {
        done = PagePainter::writePdf(store, file, &message);
    }
    QCOMPARE(message, error);
    QCOMPARE(done, error.isEmpty());
    if (!done)
        return;

    const QString info = toolOutput("pdfinfo", {file});
    QVERIFY2(info.contains(QRegularExpression("Title: +Tržby\n")), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("Pages: +3\n")) && info.contains("(A5)"),
             qPrintable(info));
    const QStringList pages = pdfPageTexts(file);
    QCOMPARE(pages.size(), 3);
    for (int page = 1; page <= 3; ++page) {
        const QString &text = pages.at(page - 1);
        QVERIFY2(text.contains(QStringLiteral("Strana: %1").arg(page)), qPrintable(text));
        QVERIFY(text.contains("Prodej služeb"));
        for (int day = 1; day <= 8; ++day)
            QCOMPARE(text.contains(QStringLiteral("Den %1 účtován").arg(day)),
                     (day + 2) / 3 == page);
    }
}

QTEST_MAIN(TestPagePainter)
#include "tst_pagepainter.moc"
