#include "fakes/whenmodal.h"
#include "ui/common/assetfiles.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/messagewindows.h"
#include "ui/common/wavecheck.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace MessageDialogsTestHook;

namespace {

enum class Action { PressEnter, PressEscape, CloseBox, ClickYes, ClickNo, AltA, AltN };

void perform(MessageWindow *form, Action action)
{
    auto *question = qobject_cast<TFormQuestion *>(form);
    switch (action) {
    case Action::PressEnter:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        break;
    case Action::PressEscape:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        break;
    case Action::CloseBox:
        form->close();
        break;
    case Action::ClickYes:
        QTest::mouseClick(question->ButtonYes(), Qt::LeftButton);
        break;
    case Action::ClickNo:
        QTest::mouseClick(question->ButtonNo(), Qt::LeftButton);
        break;
    case Action::AltA:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        break;
    case Action::AltN:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
        break;
    }
}

QList<MessageWindow *> openMessageWindows()
{
    QList<MessageWindow *> result;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<MessageWindow *>(widget))
            result.append(form);
    }
    return result;
}

struct Seen
{
    QString caption;
    QString headline;
    QString detail;
    QString focus; // object name of the widget with the keyboard focus
};

Seen look(MessageWindow *form)
{
    return {form->windowTitle(), form->headlineLabel()->text(), form->LabelSpecification()->text(),
            QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString()};
}

std::unique_ptr<MessageWindow> makeForm(const QString &kind)
{
    if (kind == "warning")
        return std::make_unique<TFormWarning>();
    if (kind == "information")
        return std::make_unique<TFormInformation>();
    return std::make_unique<TFormQuestion>();
}

} // namespace

class TestMessageDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void questionButtons();
    void longAndEmptyTexts();
    void iconBlinks();

    void warningCloses_data();
    void warningCloses();
    void questionAnswers_data();
    void questionAnswers();
    void questionWithoutSoundFocusesYes();
    void modalInformationWaitsForOk();
    void autoClosingInformationReturnsAtOnce_data();
    void autoClosingInformationReturnsAtOnce();
    void autoClosingInformationGoesAwayByItself();
    void autoClosingWindowsEachDestroyOnlyThemselves();
    void warningWithoutWaitingStaysUntilOk();

    void databaseError_data();
    void databaseError();
    void hookRecordsAndAnswers();
    void dialogsOpenWithUnplayableSounds();
    void waveCheck_data();
    void waveCheck();
    void assetLookupPrefersCurrentDirectory();
    void assetLookupOrder_data();
    void assetLookupOrder();

private:
    QString m_startDirectory;
};

void TestMessageDialogs::init()
{
    m_startDirectory = QDir::currentPath();
}

void TestMessageDialogs::cleanup()
{
    release();
    setDatabaseErrorSource({});
    QDir::setCurrent(m_startDirectory);
    for (MessageWindow *form : openMessageWindows())
        delete form;
}

void TestMessageDialogs::layout_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("headlineName");
    QTest::addColumn<bool>("staysOnTop");
    QTest::newRow("warning") << "warning"
                             << " Upozornění"
                             << "LabelWarning" << false;
    QTest::newRow("information") << "information"
                                 << " Informace"
                                 << "LabelInformation" << true;
    QTest::newRow("question") << "question"
                              << " Otázka"
                              << "LabelQuestion" << true;
}

void TestMessageDialogs::layout()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QString, headlineName);
    QFETCH(bool, staysOnTop);

    std::unique_ptr<MessageWindow> form = makeForm(kind);
    form->setMessage("Nadpis...", "Upřesnění...");
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->size(), QSize(440, 93));
    QCOMPARE(bool(form->windowFlags() & Qt::WindowStaysOnTopHint), staysOnTop);

    QCOMPARE(form->Image()->geometry(), QRect(8, 8, 48, 48));
    QVERIFY(!form->Image()->pixmap().isNull());
    QCOMPARE(form->Image()->pixmap().size(), QSize(48, 48));

    QLabel *headline = form->findChild<QLabel *>(headlineName);
    QCOMPARE(headline, form->headlineLabel());
    QCOMPARE(headline->pos(), QPoint(72, 10));
    QCOMPARE(headline->text(), QString("Nadpis..."));
    QVERIFY(headline->font().bold());
    QCOMPARE(headline->font().pixelSize(), 16);
    QCOMPARE(form->LabelSpecification()->pos(), QPoint(72, 38));
    QVERIFY(!form->LabelSpecification()->font().bold());
    QCOMPARE(form->LabelSpecification()->font().pixelSize(), 11);

    QCOMPARE(form->TimerIcon()->interval(), 250);
    QVERIFY(form->TimerIcon()->isActive());

    if (kind != "question") {
        auto *ok = form->findChild<QPushButton *>("ButtonOk");
        QVERIFY(ok);
        QCOMPARE(ok->text(), QString("Ok"));
        QCOMPARE(ok->geometry(), QRect(183, 64, 75, 25));
        QVERIFY(ok->isDefault());
    }
}

void TestMessageDialogs::questionButtons()
{
    TFormQuestion form;
    QCOMPARE(form.ButtonYes()->text(), QString("&Ano"));
    QCOMPARE(form.ButtonYes()->geometry(), QRect(141, 64, 75, 25));
    QCOMPARE(form.ButtonNo()->text(), QString("&Ne"));
    QCOMPARE(form.ButtonNo()->geometry(), QRect(223, 64, 75, 25));
    QVERIFY(!form.ButtonYes()->isDefault());
    QVERIFY(!form.ButtonNo()->isDefault());
    QCOMPARE(form.ButtonYes()->nextInFocusChain(), form.ButtonNo());
}

void TestMessageDialogs::longAndEmptyTexts()
{
    TFormWarning form;
    // A path widens the window to hold it whole, the button staying centred.
    form.setMessage("Soubor nelze uložit...",
                    "/srv/velmora/zalohy/2026-12-09 09-05-00/data/SaleSolars.DB: Přístup odepřen");
    QVERIFY(form.width() > 440);
    QVERIFY(form.rect().contains(form.LabelSpecification()->geometry()));
    QCOMPARE(form.ButtonOk()->geometry().center().x(), form.width() / 2);

    const QString longText(300, QChar('W'));
    form.setMessage(longText, longText);
    QVERIFY(!form.LabelWarning()->wordWrap());
    QCOMPARE(form.width(), form.screen()->availableGeometry().width()); // no wider than that
    QCOMPARE(form.LabelWarning()->height(), form.LabelWarning()->sizeHint().height());

    form.setMessage(QString(), QString());
    QCOMPARE(form.size(), QSize(440, 93));
    QVERIFY(form.LabelWarning()->text().isEmpty());
    QVERIFY(form.LabelSpecification()->text().isEmpty());

    form.setMessage("<b>tučně</b>", "a & b");
    QCOMPARE(form.LabelWarning()->textFormat(), Qt::PlainText);
}

void TestMessageDialogs::iconBlinks()
{
    TFormInformation form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.Image()->isVisible());
    QTRY_VERIFY(!form.Image()->isVisible());
    QTRY_VERIFY(form.Image()->isVisible());
}

void TestMessageDialogs::warningCloses_data()
{
    QTest::addColumn<Action>("action");
    QTest::newRow("Enter") << Action::PressEnter;
    QTest::newRow("Escape") << Action::PressEscape;
    QTest::newRow("close box") << Action::CloseBox;
}

void TestMessageDialogs::warningCloses()
{
    QFETCH(Action, action);
    Seen seen;
    whenModal<MessageWindow>(ModalReady::Active, [&](MessageWindow *form) {
        seen = look(form);
        perform(form, action);
    });
    ShowWarning("Chyba při spouštění...", "Poslední operace skončila s chybou...");
    QCOMPARE(seen.caption, QString(" Upozornění"));
    QCOMPARE(seen.headline, QString("Chyba při spouštění..."));
    QCOMPARE(seen.detail, QString("Poslední operace skončila s chybou..."));
    QCOMPARE(seen.focus, QString("ButtonOk"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(openMessageWindows().isEmpty());
}

void TestMessageDialogs::questionAnswers_data()
{
    QTest::addColumn<bool>("defaultYes");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Enter at once, focus on Ano") << true << Action::PressEnter << true;
    QTest::newRow("Enter at once, focus on Ne") << false << Action::PressEnter << false;
    QTest::newRow("Escape, focus on Ano") << true << Action::PressEscape << false;
    QTest::newRow("close box, focus on Ano") << true << Action::CloseBox << false;
    QTest::newRow("click Ano") << false << Action::ClickYes << true;
    QTest::newRow("click Ne") << true << Action::ClickNo << false;
    QTest::newRow("Alt+A") << false << Action::AltA << true;
    QTest::newRow("Alt+N") << true << Action::AltN << false;
}

void TestMessageDialogs::questionAnswers()
{
    QFETCH(bool, defaultYes);
    QFETCH(Action, action);
    QFETCH(bool, expected);
    Seen seen;
    whenModal<MessageWindow>(ModalReady::Active, [&](MessageWindow *form) {
        seen = look(form);
        perform(form, action);
    });
    const bool answer =
        ShowQuestion("Ukončit program ?", "Ukončení programu Velmora 1.0...", defaultYes);
    QCOMPARE(answer, expected);
    QCOMPARE(seen.caption, QString(" Otázka"));
    QCOMPARE(seen.headline, QString("Ukončit program ?"));
    QCOMPARE(seen.detail, QString("Ukončení programu Velmora 1.0..."));
    QCOMPARE(seen.focus, defaultYes ? QString("ButtonYes") : QString("ButtonNo"));
}

void TestMessageDialogs::questionWithoutSoundFocusesYes()
{
    Seen seen;
    whenModal<MessageWindow>(ModalReady::Active, [&](MessageWindow *form) {
        seen = look(form);
        perform(form, Action::PressEnter);
    });
    QVERIFY(showQuestionWithoutSound("Pokračovat ve spouštění aplikace?",
                                     "Volbou [Ne] ukončíte aplikaci..."));
    QCOMPARE(seen.headline, QString("Pokračovat ve spouštění aplikace?"));
    QCOMPARE(seen.focus, QString("ButtonYes"));
}

void TestMessageDialogs::modalInformationWaitsForOk()
{
    bool timerActive = true;
    Seen seen;
    whenModal<MessageWindow>(ModalReady::Active, [&](MessageWindow *form) {
        seen = look(form);
        timerActive = static_cast<TFormInformation *>(form)->Timer()->isActive();
        perform(form, Action::PressEnter);
    });
    ShowInformation("Záloha dokončena...", "Soubory byly zkopírovány...", false, nullptr);
    QCOMPARE(seen.caption, QString(" Informace"));
    QCOMPARE(seen.headline, QString("Záloha dokončena..."));
    QVERIFY(!timerActive);
    QVERIFY(openMessageWindows().isEmpty());
}

void TestMessageDialogs::autoClosingInformationReturnsAtOnce_data()
{
    QTest::addColumn<bool>("passControl");
    QTest::newRow("caller's window keeps its focused control") << false;
    QTest::newRow("a control given as focus window") << true;
}

void TestMessageDialogs::autoClosingInformationReturnsAtOnce()
{
    QFETCH(bool, passControl);
    QWidget caller;
    auto *input = new QLineEdit(&caller);
    auto *other = new QLineEdit(&caller);
    other->move(0, 30);
    caller.show();
    QVERIFY(QTest::qWaitForWindowActive(&caller));
    (passControl ? other : input)->setFocus();

    ShowInformation("SQL dotaz dokončen...", "Výsledek je zobrazen...", true,
                    passControl ? static_cast<QWidget *>(input) : &caller);

    const QList<MessageWindow *> open = openMessageWindows();
    QCOMPARE(open.size(), 1);
    auto *information = qobject_cast<TFormInformation *>(open.first());
    QVERIFY(information);
    QVERIFY(information->isVisible());
    QVERIFY(!information->isModal());
    QCOMPARE(information->LabelInformation()->text(), QString("SQL dotaz dokončen..."));
    QVERIFY(information->Timer()->isActive());
    QVERIFY(information->Timer()->isSingleShot());
    QCOMPARE(information->Timer()->interval(), 2000);
    QTRY_COMPARE(QApplication::activeWindow(), &caller);
    QCOMPARE(QApplication::focusWidget(), input);

    // "Ok" only hides it; it is destroyed when its close timer fires.
    QPointer<TFormInformation> watched = information;
    QTest::mouseClick(information->ButtonOk(), Qt::LeftButton);
    QVERIFY(!watched->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched);
    QVERIFY(watched->Timer()->isActive());
    watched->TimerTimer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched.isNull());
}

void TestMessageDialogs::autoClosingInformationGoesAwayByItself()
{
    ShowInformation("Hledaný text nenalezen...", "Zkuste jiný text...", true, nullptr);
    QCOMPARE(openMessageWindows().size(), 1);
    QPointer<MessageWindow> watched = openMessageWindows().first();
    // Waits on the window's own 2000 ms timer; the limit only keeps a broken build from hanging.
    QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), 20000);
}

void TestMessageDialogs::autoClosingWindowsEachDestroyOnlyThemselves()
{
    ShowInformation("První...", "", true, nullptr);
    ShowInformation("Druhá...", "", true, nullptr);
    QCOMPARE(openMessageWindows().size(), 2);
    TFormInformation *first = nullptr;
    QPointer<MessageWindow> second;
    for (MessageWindow *form : openMessageWindows()) {
        if (form->headlineLabel()->text() == "První...")
            first = static_cast<TFormInformation *>(form);
        else
            second = form;
    }
    QVERIFY(first && second);
    first->TimerTimer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(openMessageWindows(), QList<MessageWindow *>{second.data()});
}

void TestMessageDialogs::warningWithoutWaitingStaysUntilOk()
{
    QWidget owner;
    auto *input = new QLineEdit(&owner);
    owner.show();
    QVERIFY(QTest::qWaitForWindowActive(&owner));
    input->setFocus();

    showWarningWithoutWaiting("Hodinová záloha se nezdařila...", "Adresář neexistuje...", input);
    const QList<MessageWindow *> open = openMessageWindows();
    QCOMPARE(open.size(), 1);
    QPointer<TFormWarning> warning = qobject_cast<TFormWarning *>(open.first());
    QVERIFY(warning && warning->isVisible() && !warning->isModal());
    QCOMPARE(warning->parentWidget(), &owner); // goes with the owner's window
    QCOMPARE(warning->LabelWarning()->text(), QString("Hodinová záloha se nezdařila..."));
    QCOMPARE(QApplication::focusWidget(), input); // typing goes on in the owner

    QTest::mouseClick(warning->ButtonOk(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(warning.isNull());
}

void TestMessageDialogs::databaseError_data()
{
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<bool>("hasSource");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("expected"); // headline and detail, or nothing

    QTest::newRow("succeeded: nothing")
        << true << true << 9733 << "Key violation." << QStringList();
    QTest::newRow("code 1: nothing") << false << true << 1 << "whatever" << QStringList();
    QTest::newRow("code 0 is shown") << false << true << 0 << "" << QStringList{"Error [0]", ""};
    QTest::newRow("engine error") << false << true << 9733 << "Key violation."
                                  << QStringList{"Error [9733]", "Key violation."};
    QTest::newRow("largest code") << false << true << 65535 << "x"
                                  << QStringList{"Error [65535]", "x"};
    QTest::newRow("message cut to 127") << false << true << 10024 << QString(200, 'm')
                                        << QStringList{"Error [10024]", QString(127, 'm')};
    QTest::newRow("message cut at NUL")
        << false << true << 8 << QString("Table is busy.") + QChar(0) + "garbage"
        << QStringList{"Error [8]", "Table is busy."};
    QTest::newRow("no engine connected")
        << false << false << 0 << "" << QStringList{"Error [0]", ""};
}

void TestMessageDialogs::databaseError()
{
    QFETCH(bool, succeeded);
    QFETCH(bool, hasSource);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QStringList, expected);

    int asked = 0;
    if (hasSource) {
        setDatabaseErrorSource([&] {
            ++asked;
            return DatabaseError{quint16(code), message};
        });
    }
    engage();
    ShowDatabaseError(succeeded);
    const QList<Message> shown = takeMessages();
    if (expected.isEmpty()) {
        QVERIFY(shown.isEmpty());
    } else {
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Kind::Warning);
        QCOMPARE(shown.first().text, expected.at(0));
        QCOMPARE(shown.first().detail, expected.at(1));
        QCOMPARE(shown.first().sound, QString("Warning.wav"));
    }
    if (succeeded)
        QCOMPARE(asked, 0);
}

void TestMessageDialogs::hookRecordsAndAnswers()
{
    engage();
    queueAnswers({true, false});
    ShowWarning("Varování...", "Detail varování...");
    ShowInformation("Informace...", "Detail informace...", true, nullptr);
    QCOMPARE(ShowQuestion("Otázka 1 ?", "Detail 1...", false), true);
    QCOMPARE(ShowQuestion("Otázka 2 ?", "Detail 2...", true), false);
    QCOMPARE(showQuestionWithoutSound("Otázka 3 ?", "Detail 3..."), false); // none queued: No
    QVERIFY(openMessageWindows().isEmpty());

    const QList<Message> shown = takeMessages();
    QCOMPARE(shown.size(), 5);
    QCOMPARE(shown.at(0).kind, Kind::Warning);
    QCOMPARE(shown.at(0).text, QString("Varování..."));
    QCOMPARE(shown.at(0).detail, QString("Detail varování..."));
    QCOMPARE(shown.at(1).kind, Kind::Information);
    QCOMPARE(shown.at(1).sound, QString("Information.wav"));
    QVERIFY(shown.at(1).autoClose);
    QCOMPARE(shown.at(2).kind, Kind::Question);
    QVERIFY(!shown.at(2).defaultYes);
    QVERIFY(shown.at(3).defaultYes);
    QCOMPARE(shown.at(3).sound, QString("Question.wav"));
    QCOMPARE(shown.at(4).text, QString("Otázka 3 ?"));
    QVERIFY(shown.at(4).sound.isEmpty());
    QVERIFY(takeMessages().isEmpty());
    showWarningWithoutWaiting("Záloha se nezdařila...", "", nullptr);
    QVERIFY(shown.at(0).waits && !takeMessages().first().waits);
    QVERIFY(openMessageWindows().isEmpty());

    queueAnswers({true});
    release();
    QVERIFY(!isEngaged());
    engage();
    QCOMPARE(ShowQuestion("?", "", true), false); // release forgot the queued answer
}

void TestMessageDialogs::dialogsOpenWithUnplayableSounds()
{
    // Files in the current directory win over the installed ones: make them damaged.
    QFile installed(QDir(installedAssetsDirectory()).filePath("Warning.wav"));
    QVERIFY(installed.open(QIODevice::ReadOnly));
    const QByteArray truncated = installed.readAll().left(300);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QList<std::pair<QString, QByteArray>> files{
        {"Warning.wav", truncated}, {"Information.wav", {}}, {"Question.wav", "not a sound"}};
    for (const auto &[name, content] : files) {
        QFile file(directory.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QVERIFY(QDir::setCurrent(directory.path()));

    QStringList captions;
    auto closeNext = [&] {
        whenModal<MessageWindow>(ModalReady::Active, [&](MessageWindow *form) {
            captions << form->windowTitle();
            perform(form, Action::PressEscape);
        });
    };
    closeNext();
    ShowWarning("a", "b");
    closeNext();
    ShowInformation("a", "b", false, nullptr);
    closeNext();
    QVERIFY(!ShowQuestion("a", "b", true));
    QCOMPARE(captions, QStringList({" Upozornění", " Informace", " Otázka"}));
    // The installed sound still plays afterwards: nothing waits on the damaged ones.
    QVERIFY(QDir::setCurrent(m_startDirectory));
    closeNext();
    ShowWarning("c", "d");
    QCOMPARE(captions.size(), 4);
}

void TestMessageDialogs::waveCheck_data()
{
    QFile installed(QDir(installedAssetsDirectory()).filePath("Question.wav"));
    QVERIFY(installed.open(QIODevice::ReadOnly));
    const QByteArray wave = installed.readAll();
    QVERIFY(wave.size() > 1000);
    const QByteArray header = wave.left(12);
    const QByteArray format = wave.mid(12, 24);
    const QByteArray data = wave.mid(36);
    auto chunk = [](const char *id, const QByteArray &body) {
        QByteArray size(4, 0);
        qToLittleEndian<quint32>(quint32(body.size()), size.data());
        return QByteArray(id) + size + body + (body.size() % 2 ? QByteArray(1, 0) : QByteArray());
    };

    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::newRow("installed sound") << wave << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("text") << QByteArray("not a sound") << false;
    QTest::newRow("riff header only") << header << false;
    QTest::newRow("header without data") << wave.left(44 - 8) << false;
    QTest::newRow("data cut short") << wave.left(300) << false;
    QTest::newRow("last byte missing") << wave.left(wave.size() - 1) << false;
    QTest::newRow("not WAVE") << QByteArray("RIFX") + wave.mid(4) << false;
    QTest::newRow("data before format") << header + data + format << false;
    QTest::newRow("odd-sized chunk before format")
        << header + chunk("LIST", "abc") + format + data << true;
    QByteArray compressed = format;
    compressed[8] = 2; // ADPCM
    QTest::newRow("compressed format") << header + compressed + data << false;
}

void TestMessageDialogs::waveCheck()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    QCOMPARE(isCompleteWaveFile(bytes), complete);
}

void TestMessageDialogs::assetLookupPrefersCurrentDirectory()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QVERIFY(QDir::setCurrent(directory.path()));

    // The build copies the assets beside the programs, tests included.
    const QString installed = findAssetFile("Warning.wav");
    QCOMPARE(installed, QDir(installedAssetsDirectory()).absoluteFilePath("Warning.wav"));
    for (const char *name :
         {"Information.wav", "Question.wav", "Start.bmp", "Stop.bmp", "Person.bmp", "Closed.bmp"})
        QVERIFY2(!findAssetFile(name).isEmpty(), name);

    QFile local(directory.filePath("Warning.wav"));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.close();
    QCOMPARE(findAssetFile("Warning.wav"), QFileInfo(local).absoluteFilePath());

    QVERIFY(findAssetFile("Missing.wav").isEmpty());
    QVERIFY(findAssetFile(QString()).isEmpty());
}

void TestMessageDialogs::assetLookupOrder_data()
{
    QTest::addColumn<QStringList>("holders"); // of "current", "beside", "shared"
    QTest::addColumn<QString>("found");
    QTest::newRow("installed only") << QStringList{"shared"} << "shared";
    QTest::newRow("beside before installed") << QStringList{"beside", "shared"} << "beside";
    QTest::newRow("current before installed") << QStringList{"current", "shared"} << "current";
}

void TestMessageDialogs::assetLookupOrder()
{
    QFETCH(QStringList, holders);
    QFETCH(QString, found);
    QTemporaryDir current;
    QVERIFY(QDir::setCurrent(current.path()));
    const QMap<QString, QString> folders = {{"current", current.path()},
                                            {"beside", installedAssetsDirectory()},
                                            {"shared", sharedAssetsDirectory()}};
    const bool sharedExisted = QFileInfo::exists(sharedAssetsDirectory());
    const QString name = "LookupProbe.wav";
    for (const QString &holder : holders) {
        QVERIFY(QDir().mkpath(folders.value(holder)));
        QFile file(QDir(folders.value(holder)).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString path = findAssetFile(name);
    for (const QString &holder : holders)
        QFile::remove(QDir(folders.value(holder)).filePath(name));
    if (!sharedExisted)
        QDir().rmpath(sharedAssetsDirectory()); // the build tree has no share/ of its own
    QCOMPARE(path, QDir(folders.value(found)).absoluteFilePath(name));
}

QTEST_MAIN(TestMessageDialogs)
#include "tst_messagedialogs.moc"
