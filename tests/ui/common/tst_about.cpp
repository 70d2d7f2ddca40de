#include "ui/common/formabout.h"
#include "ui/common/versioninfo.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void versionInfo_data();
    void versionInfo();
    void layout();
    void linesFilledFromVersionInfo();
    void closes_data();
    void closes();
};

void TestAbout::versionInfo_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("ProductName") << "ProductName"
                                 << "Velmora";
    QTest::newRow("ProductVersion") << "ProductVersion"
                                    << "1.0.2.3";
    QTest::newRow("FileVersion") << "FileVersion"
                                 << "1.0.2.3";
    QTest::newRow("FileDescription") << "FileDescription"
                                     << "Velmora";
    QTest::newRow("InternalName") << "InternalName"
                                  << "velmora";
    QTest::newRow("OriginalFilename") << "OriginalFilename"
                                      << "velmora";
    QTest::newRow("CompanyName") << "CompanyName"
                                 << "Velmora s.r.o.";
    QTest::newRow("LegalTrademarks empty") << "LegalTrademarks" << QString();
    QTest::newRow("Comments empty") << "Comments" << QString();
    QTest::newRow("letter case ignored") << "productversion"
                                         << "1.0.2.3";
    QTest::newRow("unknown key") << "SpecialBuild" << QString();
    QTest::newRow("empty key") << QString() << QString();
    QTest::newRow("path-like key") << "\\StringFileInfo\\040504e2\\ProductName" << QString();
}

void TestAbout::versionInfo()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QCOMPARE(GetVersionInfo(key), value);
}

void TestAbout::layout()
{
    TFormAbout about;
    QCOMPARE(about.windowTitle(), QString(" O programu"));
    QCOMPARE(about.size(), QSize(292, 188));
    for (QLabel *line : {about.ApplicationLabel(), about.VersionLabel(), about.OSLabel()}) {
        QCOMPARE(line->width(), 256);
        QCOMPARE(line->x(), (292 - 256) / 2);
        QVERIFY(line->alignment() & Qt::AlignHCenter);
    }
    const QFont productFont = about.ApplicationLabel()->font();
    QCOMPARE(productFont.families().value(0), QString("Palatino Linotype"));
    QCOMPARE(productFont.pixelSize(), 16);
    QVERIFY(productFont.bold());
    QVERIFY(productFont.italic());
    QCOMPARE(about.OSLabel()->text(), QString("pro Linux"));
    QCOMPARE(about.Image()->geometry(), QRect(130, 66, 32, 32));
    QCOMPARE(about.CompanyLabel()->text(), QString("Velmora s.r.o."));
    QCOMPARE(about.ContactLabel()->text().count('\n'), 1);
    QCOMPARE(about.ButtonClose()->text(), QString("Zavřít"));
    QVERIFY(about.ButtonClose()->isDefault());
    // Every line and the button inside the client area, none overlapping the next.
    QWidget *previous = nullptr;
    for (QWidget *w : std::initializer_list<QWidget *>{
             about.ApplicationLabel(), about.VersionLabel(), about.OSLabel(), about.Image(),
             about.CompanyLabel(), about.ContactLabel(), about.ButtonClose()}) {
        QVERIFY(about.rect().contains(w->geometry()));
        if (previous)
            QVERIFY2(previous->geometry().bottom() < w->geometry().top(),
                     qPrintable(w->objectName()));
        previous = w;
    }
}

void TestAbout::linesFilledFromVersionInfo()
{
    TFormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QCOMPARE(about.ApplicationLabel()->text(), QString("Program Velmora"));
    QCOMPARE(about.VersionLabel()->text(), QString("verze 1.0.2.3"));
    QCOMPARE(about.Image()->pixmap().size(), QSize(32, 32));
    QVERIFY(!about.windowIcon().isNull());
}

void TestAbout::closes_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestAbout::closes()
{
    QFETCH(int, key);
    TFormAbout about;
    QTimer::singleShot(0, &about, [&] {
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
