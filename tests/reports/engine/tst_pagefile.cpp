#include "reports/engine/pagefile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

TextItem text(const QString &line, int y, ReportAlignment alignment = ReportAlignment::Left)
{
    return TextItem{QRect(500, y, 6000, 420), ReportFont{QStringLiteral("Arial"), 10, false},
                    alignment, line};
}

PageStore numbered(int pages)
{
    PageStore store{QStringLiteral("Tržby"), QSize(14800, 21000), {}};
    for (int page = 1; page <= pages; ++page)
        store.pages.append(ReportPage{{text(QStringLiteral("Strana %1").arg(page), 1000),
                                       LineItem{QLine(500, 1500, 14300, 1500), 10 * page}}});
    return store;
}

PageStore receipt()
{
    PageStore store{QStringLiteral("000000123"), QSize(14800, 21000), {}};
    TextItem heading = text(QStringLiteral("Pokladní doklad"), 800, ReportAlignment::Centre);
    heading.font = ReportFont{QStringLiteral("Microsoft Sans Serif"), 14, true};
    store.pages.append(
        ReportPage{{heading, text(QStringLiteral("Číslo solárka:"), 1600),
                    text(QStringLiteral("1 234,50 Kč"), 1600, ReportAlignment::Right),
                    LineItem{QLine(500, 2100, 14300, 2100), 10},
                    text(QStringLiteral("\\{}\t😀"), 2400), text(QString(), 2900)}});
    store.pages.append(ReportPage{{LineItem{QLine(-50, 0, 30, 21000), 0},
                                   TextItem{QRect(-20, 0, -1, 0), {}, {}, QStringLiteral("x")}}});
    store.pages.append(ReportPage{});
    return store;
}

PageStore pagesOf(const PageStore &store, const QList<int> &numbers)
{
    PageStore picked{store.title, store.pageSize, {}};
    for (int number : numbers)
        picked.pages.append(store.pages.at(number - 1));
    return picked;
}

} // namespace

class TestPageFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void roundTripGivesTheSameStore_data()
    {
        QTest::addColumn<PageStore>("store");
        QTest::newRow("one empty page") << PageStore{QStringLiteral("a"), QSize(1, 2), {{}}};
        QTest::newRow("receipt") << receipt();
        QTest::newRow("many pages") << numbered(40);
    }
    void roundTripGivesTheSameStore()
    {
        QFETCH(PageStore, store);
        PageStore loaded;
        QVERIFY(PageFile::save(path(QStringLiteral("a.qrp")), store).ok());
        const FileResult result = PageFile::load(path(QStringLiteral("a.qrp")), &loaded);
        QVERIFY2(result.ok(), qPrintable(result.message));
        QCOMPARE(loaded, store);
        const FileResult failed = PageFile::save(path(QStringLiteral("chybí/a.qrp")), store);
        QVERIFY(failed.message.startsWith(QStringLiteral("Stránky nelze uložit do souboru")));
        const FileResult nothing = PageFile::save(path(QStringLiteral("b.qrp")), PageStore());
        QVERIFY(nothing.message.startsWith(QStringLiteral("Sestava nemá žádnou stránku")));
        QVERIFY(!QFile::exists(path(QStringLiteral("b.qrp"))));
    }

    void copyRangeAndJoin_data()
    {
        QTest::addColumn<QList<int>>("sources"); // pages of each source file
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("expected"); // pages of numbered(5)
        QTest::newRow("one page") << QList<int>{5} << 2 << 2 << QList<int>{2};
        QTest::newRow("middle") << QList<int>{5} << 2 << 4 << QList<int>{2, 3, 4};
        QTest::newRow("kept within") << QList<int>{5} << -1 << 99 << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("reversed") << QList<int>{5} << 4 << 2 << QList<int>{};
        QTest::newRow("beyond") << QList<int>{5} << 6 << 9 << QList<int>{};
        QTest::newRow("join") << QList<int>{2, 3} << 0 << 0 << QList<int>{1, 2, 1, 2, 3};
        QTest::newRow("join with empty") << QList<int>{1, 0, 2} << 0 << 0 << QList<int>{1, 1, 2};
        QTest::newRow("join nothing") << QList<int>{} << 0 << 0 << QList<int>{};
    }
    void copyRangeAndJoin()
    {
        QFETCH(QList<int>, sources);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, expected);
        PageStore result = numbered(0); // the sheet of the joined pages
        if (from == 0) {
            for (int count : sources)
                result.append(numbered(count));
        } else {
            result = numbered(sources.first()).copyRange(from, to);
        }
        QCOMPARE(result.pages, pagesOf(numbered(5), expected).pages);
        // The cut or joined pages come back from their file as they were.
        if (expected.isEmpty())
            return; // no page: nothing to keep
        PageStore loaded;
        QVERIFY(PageFile::save(path(QStringLiteral("target.qrp")), result).ok());
        QVERIFY(PageFile::load(path(QStringLiteral("target.qrp")), &loaded).ok());
        QCOMPARE(loaded, result);
    }

    void badFilesAreRefused_data()
    {
        const QByteArray good = PageFile::encode(receipt());
        QByteArray newer = good, checksum = good, zeroVersion = good;
        newer[9] = char(PageFile::FormatVersion + 1);
        zeroVersion[8] = zeroVersion[9] = 0;
        checksum[20] = char(checksum[20] ^ 1);
        QTest::addColumn<QByteArray>("content"); // "-": no file, "/": a folder
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray("-") << "neexistuje...";
        QTest::newRow("folder") << QByteArray("/") << "nelze číst";
        QTest::newRow("empty") << QByteArray() << "je neúplný";
        QTest::newRow("foreign") << QByteArray("%PDF-1.4\n") << "není soubor uložených stránek";
        QTest::newRow("newer") << newer << "novější verze programu (formát 2)";
        QTest::newRow("version 0") << zeroVersion << "je poškozen";
        QTest::newRow("checksum") << checksum << "je poškozen";
        QTest::newRow("appended") << good + "x"
                                  << "je poškozen";
        QTest::newRow("cut") << good.chopped(1) << "je neúplný";
        QTest::newRow("cut header") << good.left(12) << "je neúplný";
        PageStore noPage = receipt(), noSheet = receipt(), negativeSheet = receipt();
        noPage.pages.clear();
        noSheet.pageSize = QSize(0, 0);
        negativeSheet.pageSize = QSize(14800, -21000);
        QTest::newRow("no page") << PageFile::encode(noPage) << "je poškozen";
        QTest::newRow("0 × 0 sheet") << PageFile::encode(noSheet) << "je poškozen";
        QTest::newRow("negative sheet") << PageFile::encode(negativeSheet) << "je poškozen";
    }
    void badFilesAreRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString file = path(QStringLiteral("bad.qrp"));
        QFile::remove(file);
        QDir(m_dir.path()).rmdir(QStringLiteral("bad.qrp"));
        if (content == "/") {
            QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("bad.qrp")));
        } else if (content != "-") {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
        }
        PageStore loaded = receipt();
        const FileResult result = PageFile::load(file, &loaded);
        QVERIFY2(result.message.contains(message), qPrintable(result.message));
        QVERIFY(result.message.contains(file) && result.message.endsWith(QStringLiteral("...")));
        QCOMPARE(loaded, PageStore());
    }

    // A damaged file must never crash, hang or allocate what its counts claim: the whole file is
    // refused on any change; the pages alone (past the checksum) are read or refused.
    void damageIsReadOrRefused_data()
    {
        QTest::addColumn<bool>("wholeFile");
        QTest::addColumn<bool>("cut");
        QTest::newRow("file, byte changed") << true << false;
        QTest::newRow("file, cut") << true << true;
        QTest::newRow("pages, byte changed") << false << false;
        QTest::newRow("pages, cut") << false << true;
    }
    void damageIsReadOrRefused()
    {
        QFETCH(bool, wholeFile);
        QFETCH(bool, cut);
        const QByteArray good =
            wholeFile ? PageFile::encode(receipt()) : PageFile::encodePayload(receipt());
        QRandomGenerator random(4711);
        for (qsizetype offset = 0; offset < good.size(); ++offset) {
            QByteArray bad = good;
            if (cut)
                bad.truncate(offset);
            else
                bad[offset] = char(bad[offset] ^ (1 + random.bounded(255)));
            PageStore loaded;
            if (wholeFile) {
                QVERIFY(!PageFile::decode(bad, QStringLiteral("x"), &loaded).message.isEmpty());
                QCOMPARE(loaded, PageStore());
            } else if (!PageFile::decodePayload(bad, &loaded)) {
                QCOMPARE(loaded, PageStore());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPageFile)
#include "tst_pagefile.moc"
