#include "core/programvalues.h"
#include "ui/common/messagedialogs.h"
#include "userdialogs/formlogin.h"
#include "userdialogs/formuser.h"
#include "userdialogs/userdialogs.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace Hook = MessageDialogsTestHook;

class TestUsersWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fullRegisterDisablesAdd();
    void loggedInUserCannotBeDeleted_data();
    void loggedInUserCannotBeDeleted();
    void deletionMovesSelection_data();
    void deletionMovesSelection();
    void rightsBoxToggles_data();
    void rightsBoxToggles();
    void stornoDropsEveryChange();
    void okSavesAndEmptyRegisterStaysAFile();
    void missingAndDamagedFilesWarn();
    void damagedFileIsKeptBeforeSaving();
    void builtInAdministratorDeletesReservedRow();
    void newUserDialogRules_data();
    void newUserDialogRules();
    void editUserDialogRules_data();
    void editUserDialogRules();
    void userFieldsRefuseForeignCharacters();
    void loginDialogProposesAdministratorWithoutRegister();
    void loginNameKeepsTypedCase_data();
    void loginNameKeepsTypedCase();
    void passwordFieldsShowStars();

private:
    QString usersFile() const { return m_dir.filePath("Velmora.usr"); }
    void writeUsers(const QStringList &names);
    static QTreeWidget *list(TFormUser &window);
    static QPushButton *button(QWidget &window, const char *name);
    static QString selectedName(TFormUser &window);
    static QPoint rightBoxPoint(TFormUser &window, int row, int right, int offset);

    QTemporaryDir m_dir;
};

void TestUsersWindow::init()
{
    Hook::engage();
    Program().CurrentUser = "Administrator";
}

void TestUsersWindow::cleanup()
{
    Hook::release();
    QFile::remove(usersFile());
}

void TestUsersWindow::writeUsers(const QStringList &names)
{
    UserRegister users;
    for (const QString &name : names)
        users.add({name, name.toLower(), {true, true, true, true}});
    QVERIFY(users.save(usersFile()).ok());
}

QTreeWidget *TestUsersWindow::list(TFormUser &window)
{
    return window.findChild<QTreeWidget *>("ListViewUsers");
}

QPushButton *TestUsersWindow::button(QWidget &window, const char *name)
{
    return window.findChild<QPushButton *>(QString::fromLatin1(name));
}

QString TestUsersWindow::selectedName(TFormUser &window)
{
    const QList<QTreeWidgetItem *> selected = list(window)->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

QPoint TestUsersWindow::rightBoxPoint(TFormUser &window, int row, int right, int offset)
{
    QTreeWidget *tree = list(window);
    const QRect rowRect = tree->visualItemRect(tree->topLevelItem(row));
    const int columnLeft = tree->header()->sectionViewportPosition(right + 1);
    return {columnLeft + offset, rowRect.center().y()};
}

void TestUsersWindow::fullRegisterDisablesAdd()
{
    QStringList names;
    for (int i = 1; i <= 16; ++i)
        names << QStringLiteral("Uživatel %1").arg(i, 2, 10, QLatin1Char('0'));
    writeUsers(names);
    UserRegister users;
    TFormUser window(users, usersFile());
    window.OpenUsers();
    window.show();
    QVERIFY(!button(window, "ButtonAdd")->isEnabled());
    QVERIFY(button(window, "ButtonDelete")->isEnabled());
    QTest::mouseClick(button(window, "ButtonDelete"), Qt::LeftButton);
    QCOMPARE(window.users().count(), 15);
    QVERIFY(button(window, "ButtonAdd")->isEnabled());
}

void TestUsersWindow::loggedInUserCannotBeDeleted_data()
{
    QTest::addColumn<QString>("currentUser");
    QTest::addColumn<QString>("selectedAtStart");
    QTest::addColumn<bool>("deletable");
    QTest::newRow("as stored") << "Jana"
                               << "Jana" << false;
    QTest::newRow("typed in other case") << "JANA"
                                         << "Jana" << true;
    QTest::newRow("administrator takes the top row") << "Administrator"
                                                     << "Adam" << true;
    QTest::newRow("deleted meanwhile") << "Zdeněk"
                                       << "" << false;
}

void TestUsersWindow::loggedInUserCannotBeDeleted()
{
    QFETCH(QString, currentUser);
    QFETCH(QString, selectedAtStart);
    QFETCH(bool, deletable);
    writeUsers({"Adam", "Jana", "Petr"});
    Program().CurrentUser = currentUser;
    UserRegister users;
    TFormUser window(users, usersFile());
    window.OpenUsers();
    window.show();
    QCOMPARE(selectedName(window), selectedAtStart);
    QCOMPARE(button(window, "ButtonDelete")->isEnabled(), deletable);
    QVERIFY(button(window, "ButtonEdit")->isEnabled());
}

void TestUsersWindow::deletionMovesSelection_data()
{
    QTest::addColumn<int>("deletedRow");
    QTest::addColumn<QString>("selectedAfter");
    QTest::addColumn<bool>("focused");
    QTest::newRow("middle row: the one above") << 1 << "Adam" << true;
    QTest::newRow("last row: the one above") << 2 << "Jana" << true;
    QTest::newRow("top row: the one below") << 0 << "Jana" << false;
}

void TestUsersWindow::deletionMovesSelection()
{
    QFETCH(int, deletedRow);
    QFETCH(QString, selectedAfter);
    QFETCH(bool, focused);
    writeUsers({"Adam", "Jana", "Petr"});
    UserRegister users;
    TFormUser window(users, usersFile());
    window.OpenUsers();
    window.show();
    QTreeWidget *tree = list(window);
    tree->setCurrentItem(tree->topLevelItem(deletedRow));
    QTest::mouseClick(button(window, "ButtonDelete"), Qt::LeftButton);
    QCOMPARE(window.users().count(), 2);
    QCOMPARE(selectedName(window), selectedAfter);
    QCOMPARE(tree->currentItem() && tree->currentItem()->text(0) == selectedAfter, focused);
}

void TestUsersWindow::rightsBoxToggles_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("granted");
    QTest::newRow("one click in the box") << 3 << 30 << 1 << false;
    QTest::newRow("two clicks restore") << 3 << 30 << 2 << true;
    QTest::newRow("left edge of the box") << 0 << 24 << 1 << false;
    QTest::newRow("just past the box") << 1 << 37 << 1 << true;
    QTest::newRow("10 pixels into the column") << 2 << 10 << 1 << true;
}

void TestUsersWindow::rightsBoxToggles()
{
    QFETCH(int, right);
    QFETCH(int, offset);
    QFETCH(int, clicks);
    QFETCH(bool, granted);
    writeUsers({"Adam", "Jana"});
    UserRegister users;
    TFormUser window(users, usersFile());
    window.OpenUsers();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(list(window)->viewport(), Qt::LeftButton, {},
                          rightBoxPoint(window, 1, right, offset));
    QCOMPARE(window.users().users().at(1).rights[right], granted);
    QVERIFY(window.users().users().at(0).rights[right]);
}

void TestUsersWindow::stornoDropsEveryChange()
{
    writeUsers({"Adam", "Jana"});
    UserRegister users;
    TFormUser window(users, usersFile());
    window.OpenUsers();
    window.show();
    QTest::mouseClick(list(window)->viewport(), Qt::LeftButton, {},
                      rightBoxPoint(window, 0, 3, 30));
    QTest::mouseClick(button(window, "ButtonDelete"), Qt::LeftButton);
    QCOMPARE(window.users().count(), 1);
    QTest::mouseClick(button(window, "ButtonCancel"), Qt::LeftButton);
    QCOMPARE(window.users().names(), QStringList({"Adam", "Jana"}));
    QVERIFY(window.users().users().at(0).rights[3]);
    QCOMPARE(window.users().users().at(1).password, QString("jana"));
}

void TestUsersWindow::okSavesAndEmptyRegisterStaysAFile()
{
    writeUsers({"Adam"});
    UserRegister users;
    TFormUser window(users, usersFile());
    window.OpenUsers();
    window.show();
    QTest::mouseClick(button(window, "ButtonDelete"), Qt::LeftButton);
    QTest::mouseClick(button(window, "ButtonOk"), Qt::LeftButton);
    QVERIFY(QFile::exists(usersFile()));
    UserRegister reloaded;
    QCOMPARE(reloaded.load(usersFile()), UserRegister::LoadResult::Loaded);
    QVERIFY(reloaded.isEmpty());
    QVERIFY(Hook::takeMessages().isEmpty()); // an empty register is no reason to warn
}

void TestUsersWindow::missingAndDamagedFilesWarn()
{
    UserRegister users;
    TFormUser window(users, usersFile());
    QCOMPARE(window.OpenUsers(), UserRegister::LoadResult::Missing);
    QList<Hook::Message> messages = Hook::takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).text, QString("Nenalezen soubor uživatelských práv..."));
    QVERIFY(
        messages.at(0).detail.startsWith("Nyní se může přihlásit pouze Administrator... Volejte "));

    QFile file(usersFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, 'x'));
    file.close();
    QCOMPARE(window.OpenUsers(), UserRegister::LoadResult::Damaged);
    QVERIFY(window.users().isEmpty());
    QCOMPARE(Hook::takeMessages().size(), 1);
}

void TestUsersWindow::newUserDialogRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<bool>("okEnabled");
    QTest::newRow("complete") << "Eva"
                              << "tajne"
                              << "tajne" << true;
    QTest::newRow("confirmation differs in case") << "Eva"
                                                  << "tajne"
                                                  << "Tajne" << false;
    QTest::newRow("registered name in other case") << "JANA"
                                                   << "x"
                                                   << "x" << false;
    QTest::newRow("empty name") << ""
                                << "x"
                                << "x" << false;
    QTest::newRow("empty password") << "Eva"
                                    << ""
                                    << "" << false;
    QTest::newRow("built-in name is reserved") << "Administrator"
                                               << "x"
                                               << "x" << false;
    QTest::newRow("reserved in any case") << "aDMINISTRATOR"
                                          << "x"
                                          << "x" << false;
    QTest::newRow("longer name is free") << "Administrator2"
                                         << "x"
                                         << "x" << true;
    QTest::newRow("blanks accepted") << " "
                                     << " "
                                     << " " << true;
}

void TestUsersWindow::newUserDialogRules()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, confirmation);
    QFETCH(bool, okEnabled);
    UserRegister users;
    users.add({"Jana", "j", {}});
    TFormUserNew dialog(users);
    QVERIFY(!button(dialog, "ButtonOk")->isEnabled());
    dialog.findChild<QLineEdit *>("EditUser")->setText(name);
    dialog.findChild<QLineEdit *>("EditPass")->setText(password);
    dialog.findChild<QLineEdit *>("EditPassConfirm")->setText(confirmation);
    QCOMPARE(button(dialog, "ButtonOk")->isEnabled(), okEnabled);
    const bool reserved = name.compare("Administrator", Qt::CaseInsensitive) == 0;
    QCOMPARE(dialog.findChild<QLabel *>("LabelReservedName")->isVisibleTo(&dialog), reserved);
}

void TestUsersWindow::editUserDialogRules_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<bool>("okEnabled");
    QTest::newRow("both emptied") << ""
                                  << "" << false;
    QTest::newRow("changed alike") << "nove"
                                   << "nove" << true;
    QTest::newRow("different") << "nove"
                               << "nova" << false;
}

void TestUsersWindow::editUserDialogRules()
{
    QFETCH(QString, password);
    QFETCH(QString, confirmation);
    QFETCH(bool, okEnabled);
    TFormUserEdit dialog("Jana", "stare");
    QVERIFY(button(dialog, "ButtonOk")->isEnabled());
    QCOMPARE(dialog.findChild<QLineEdit *>("EditPass")->text(), QString("stare"));
    dialog.findChild<QLineEdit *>("EditPass")->setText(password);
    dialog.findChild<QLineEdit *>("EditPassConfirm")->setText(confirmation);
    QCOMPARE(button(dialog, "ButtonOk")->isEnabled(), okEnabled);
}

void TestUsersWindow::userFieldsRefuseForeignCharacters()
{
    UserRegister users;
    TFormUserNew dialog(users);
    dialog.show();
    auto *edit = dialog.findChild<QLineEdit *>("EditUser");
    edit->setFocus();
    for (const QChar ch : QStringLiteral("Šárka☀\u0081\u009812345678901234"))
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QCOMPARE(edit->text(), QString("Šárka12345678901"));
}

void TestUsersWindow::loginDialogProposesAdministratorWithoutRegister()
{
    TFormLogin dialog;
    dialog.prepare(UserRegister());
    QCOMPARE(dialog.userName(), QString("Administrator"));
    UserRegister users;
    users.add({"Jana", "j", {}});
    dialog.prepare(users);
    QCOMPARE(dialog.userName(), QString());
}

void TestUsersWindow::damagedFileIsKeptBeforeSaving()
{
    QStringList logged;
    for (const QString &kept : {usersFile() + ".bad", usersFile() + ".bad2"}) {
        writeUsers({"Adam", "Jana"});
        QFile file(usersFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray damaged = file.readAll();
        damaged[40] = char(damaged.at(40) ^ 0x04); // one flipped bit
        file.resize(0);
        file.write(damaged);
        file.close();

        UserRegister users;
        TFormUser window(users, usersFile());
        window.setEventLog([&](const QString &text) { logged << text; });
        QCOMPARE(window.OpenUsers(), UserRegister::LoadResult::Damaged);
        window.show();
        QTest::mouseClick(button(window, "ButtonOk"), Qt::LeftButton);
        QFile keptFile(kept);
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        QCOMPARE(keptFile.readAll(), damaged);
        QCOMPARE(logged.takeFirst(),
                 "Poškozený soubor uživatelských práv uschován: [" + kept + "]");
        UserRegister saved;
        QCOMPARE(saved.load(usersFile()), UserRegister::LoadResult::Loaded);
    }
    QVERIFY(QFile::exists(usersFile() + ".bad")); // the first one kept as it was
    QFile::remove(usersFile() + ".bad");
    QFile::remove(usersFile() + ".bad2");
}

void TestUsersWindow::builtInAdministratorDeletesReservedRow()
{
    writeUsers({"Administrator"}); // from before the name was reserved
    UserRegister users;
    TFormUser window(users, usersFile());
    window.OpenUsers();
    window.show();
    QCOMPARE(selectedName(window), QString("Administrator"));
    QVERIFY(button(window, "ButtonDelete")->isEnabled());
    TFormUserEdit edit("Administrator", "x");
    QVERIFY(edit.findChild<QLabel *>("LabelReservedName")->isVisibleTo(&edit));
}

void TestUsersWindow::loginNameKeepsTypedCase_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("leavingKey");
    QTest::addColumn<QString>("name");
    QTest::newRow("lower case, Tab") << "jana" << int(Qt::Key_Tab) << "jana";
    QTest::newRow("lower case, Enter") << "jana" << int(Qt::Key_Return) << "jana";
    QTest::newRow("built-in over a registered one")
        << "Administrator" << int(Qt::Key_Tab) << "Administrator";
    QTest::newRow("built-in, Enter") << "Administrator" << int(Qt::Key_Return) << "Administrator";
    QTest::newRow("completion in the same case") << "Ja" << int(Qt::Key_Return) << "Jana";
}

void TestUsersWindow::loginNameKeepsTypedCase()
{
    QFETCH(QString, typed);
    QFETCH(int, leavingKey);
    QFETCH(QString, name);
    UserRegister users;
    users.add({"Jana", "j", {}});
    users.add({"administrator", "a", {}});
    TFormLogin dialog;
    dialog.prepare(users);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QLineEdit *edit = dialog.findChild<QComboBox *>("ComboBoxUser")->lineEdit();
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key(leavingKey));
    QCOMPARE(dialog.userName(), name);
}

void TestUsersWindow::passwordFieldsShowStars()
{
    TFormLogin login;
    TFormUserNew added{UserRegister()};
    TFormUserEdit edited("Jana", QString());
    const QList<QLineEdit *> fields = {
        login.findChild<QLineEdit *>("EditPass"), added.findChild<QLineEdit *>("EditPass"),
        added.findChild<QLineEdit *>("EditPassConfirm"), edited.findChild<QLineEdit *>("EditPass"),
        edited.findChild<QLineEdit *>("EditPassConfirm")};
    for (QLineEdit *field : fields) {
        field->setText("tajné");
        QCOMPARE(field->displayText(), QString("*****"));
    }
}

QTEST_MAIN(TestUsersWindow)
#include "tst_userswindow.moc"
