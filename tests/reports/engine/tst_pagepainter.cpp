#include "reports/engine/pagepainter.h"
#include "reports/engine/reportfonts.h"
#include "reports/engine/reportlayout.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

namespace {

const ReportFont Font8{QStringLiteral("Arial"), 8, false};
const QString LongText = QStringLiteral("Datum zdanitelného plnění:");

// The painted, not white, pixels' bounds in millimetres.
QRectF inkMm(const QImage &image, double pixelsPerMillimetre)
{
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(line[x]) < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return QRectF();
    return QRectF(left / pixelsPerMillimetre, top / pixelsPerMillimetre,
                  (right + 1 - left) / pixelsPerMillimetre,
                  (bottom + 1 - top) / pixelsPerMillimetre);
}

PageStore oneText(ReportAlignment alignment)
{
    PageStore store;
    store.pageSize = QSize(6000, 2000);
    const int height = qCeil(ReportMetrics().lineSpacing(Font8));
    store.pages.append(
        ReportPage{{TextItem{QRect(500, 500, 5000, height), Font8, alignment, LongText}}});
    return store;
}

QImage paint(const PageStore &store, double pixelsPerMillimetre, int dpi)
{
    QImage image(qCeil(store.pageSize.width() / 100.0 * pixelsPerMillimetre),
                 qCeil(store.pageSize.height() / 100.0 * pixelsPerMillimetre),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    PagePainter::paintPage(painter, store, 0, pixelsPerMillimetre);
    painter.end();
    return image;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A report of three pages, each under a header with its number.
PageStore threePages()
{
    ReportDefinition definition;
    definition.title = QStringLiteral("Tržby");
    ReportBand header;
    header.heightMm = 20;
    header.add(ReportElement::pageNumber(QRectF(0, 1.1, 0, 4), QStringLiteral("Strana: "),
                                         {QStringLiteral("Arial"), 8, true}));
    header.add(ReportElement::fixedText(QRectF(0, 6, 127.8, 5), QStringLiteral("Prodej služeb"),
                                        {QStringLiteral("Arial"), 10, true},
                                        ReportAlignment::Centre));
    definition.columnHeader = header;
    ReportBand detail;
    detail.heightMm = 55;
    int day = 0;
    detail.add(ReportElement::dataText(
        QRectF(11.4, 0, 60, 4), [&] { return QStringLiteral("Den %1 účtován").arg(day); }, Font8));
    detail.add(ReportElement::line(11.4, 5, 100));
    definition.detail = detail;
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
    void sheetIsWhite();
    void pagesComeOutOnTheirPages_data();
    void pagesComeOutOnTheirPages();
    void failuresAreReported_data();
    void failuresAreReported();
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
    const PageStore store = oneText(ReportAlignment(alignment));
    const QRectF ink = inkMm(paint(store, pixelsPerMillimetre, dpi), pixelsPerMillimetre);
    const QRectF box(5, 5, 50, 0);
    // Where the glyphs' outlines start and end inside the measured advance.
    QImage reference(1, 1, QImage::Format_RGB32);
    reference.setDotsPerMeterX(qRound(ReportFonts::ReferenceDpi / 0.0254));
    reference.setDotsPerMeterY(qRound(ReportFonts::ReferenceDpi / 0.0254));
    const QFontMetricsF metrics(ReportFonts::toQFont(Font8), &reference);
    const double mmPerPixel = 25.4 / ReportFonts::ReferenceDpi;
    const double advance = metrics.horizontalAdvance(LongText) * mmPerPixel;
    const double leftBearing = metrics.leftBearing(LongText.front()) * mmPerPixel;
    const double rightBearing = metrics.rightBearing(LongText.back()) * mmPerPixel;
    double start = box.left();
    if (ReportAlignment(alignment) == ReportAlignment::Right)
        start = box.left() + box.width() - advance;
    else if (ReportAlignment(alignment) == ReportAlignment::Centre)
        start = box.left() + (box.width() - advance) / 2;
    // A pixel of antialiasing either side.
    const double slack = 0.05 + 1.5 / pixelsPerMillimetre;

    QVERIFY2(qAbs(ink.left() - (start + leftBearing)) < slack,
             qPrintable(QStringLiteral("ink from %1 mm, expected %2 mm")
                            .arg(ink.left())
                            .arg(start + leftBearing)));
    QVERIFY2(qAbs(ink.right() - (start + advance - rightBearing)) < slack,
             qPrintable(QStringLiteral("ink to %1 mm, expected %2 mm")
                            .arg(ink.right())
                            .arg(start + advance - rightBearing)));
    QVERIFY(ink.top() >= box.top());
    QVERIFY(ink.bottom() <= box.top() + ReportMetrics().height(Font8) / 100 + slack);
}

void TestPagePainter::sheetIsWhite()
{
    PageStore store;
    store.pageSize = QSize(1000, 500);
    store.pages.append(ReportPage{{LineItem{QLine(100, 250, 900, 250), 20}}});
    const QImage image = paint(store, 10, 254);
    QCOMPARE(image.size(), QSize(100, 50));
    QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(95, 45), qRgb(255, 255, 255));
    // A line 0.2 mm thick, 2 pixels here, along its length only.
    QCOMPARE(inkMm(image, 10), QRectF(1, 2.4, 8, 0.2));
}

void TestPagePainter::pagesComeOutOnTheirPages_data()
{
    QTest::addColumn<bool>("throughPrinter");
    QTest::newRow("pdf writer") << false;
    QTest::newRow("printer") << true;
}

void TestPagePainter::pagesComeOutOnTheirPages()
{
    QFETCH(bool, throughPrinter);
    const PageStore store = threePages();
    QCOMPARE(store.pageCount(), 3);
    QTemporaryDir directory;
    const QString file = directory.filePath(QStringLiteral("tržby.pdf"));
    QString error;
    if (throughPrinter) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        QVERIFY2(PagePainter::printStore(store, printer, &error), qPrintable(error));
    } else {
        QVERIFY2(PagePainter::writePdf(store, file, &error), qPrintable(error));
    }

    const QString info = run(QStringLiteral("pdfinfo"), {file});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title: +Tržby\n"))),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages: +3\n"))), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("(A5)")), qPrintable(info));

    const QStringList pages = run(QStringLiteral("pdftotext"), {"-layout", file, "-"})
                                  .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 3);
    // Three details of 55 mm fit under the 20 mm header: days 1-3, 4-6, 7-8.
    for (int page = 1; page <= 3; ++page) {
        const QString text = pages.at(page - 1);
        QVERIFY2(text.contains(QStringLiteral("Strana: %1").arg(page)), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Prodej služeb")));
        for (int day = 1; day <= 8; ++day) {
            const bool here = (day - 1) / 3 + 1 == page;
            QCOMPARE(text.contains(QStringLiteral("Den %1 účtován").arg(day)), here);
        }
    }
}

void TestPagePainter::failuresAreReported_data()
{
    QTest::addColumn<bool>("throughPrinter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pdf file") << false << "Soubor %1 se nepodařilo vytvořit...";
    QTest::newRow("printer") << true << "Tisk sestavy Tržby se nepodařilo zahájit...";
}

void TestPagePainter::failuresAreReported()
{
    QFETCH(bool, throughPrinter);
    QFETCH(QString, expected);
    const PageStore store = threePages();
    const QString file = QStringLiteral("/nonexistent-folder/tržby.pdf");
    QString error;
    if (throughPrinter) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        QVERIFY(!PagePainter::printStore(store, printer, &error));
    } else {
        QVERIFY(!PagePainter::writePdf(store, file, &error));
    }
    QCOMPARE(error, expected.contains("%1") ? expected.arg(file) : expected);
}

QTEST_MAIN(TestPagePainter)
#include "tst_pagepainter.moc"
