#include "deskfixture.h"
#include "filebytes.h"

#include "console/formvelmora.h"
#include "core/programvalues.h"
#include "fakes/whenmodal.h"
#include "startup/startupsequence.h"
#include "ui/common/messagedialogs.h"
#include "userdialogs/formlogin.h"
#include "users/secrets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

namespace {

// Hand-made: a comment, a foreign section, values the windows tidy, cut or clamp, an empty memo.
const QStringList InitialIni = {"; kept as it is",
                                "[Database]",
                                "CheckBoxRegenerationIndex_Checked=False",
                                "CheckBoxPackTable_Checked=False",
                                "[Foreign]",
                                "odd line without a key",
                                "Key = \"quoted\"",
                                "[SetupSolar]",
                                "EditPort_Text=03789",
                                "EditOffDefault_Text=5",
                                "[SetupSolar.ListBoxOff_Items]",
                                "Count=4",
                                "Item0=20",
                                "Item1=5",
                                "Item2=x",
                                "Item3=5",
                                "[SetupPrint.MemoInfo_Lines]",
                                "Count=1",
                                "Item0=",
                                "[Backup]",
                                "IntegerEditBackupDelete_Value=12000",
                                "CheckBoxBackupDay_Checked=maybe"};

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

} // namespace

// A run of the program that changes its settings through the windows as a user would: the
// configuration file must hold the same bytes after each step, whatever keeps the values.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void scriptOfChangesWritesTheSameBytes();

private:
    // Opens the window behind the menu item and runs `edit` inside it; it closes the window.
    void throughMenu(const char *item, std::function<void(QDialog *)> edit);
    void compareWithGolden(const QString &golden);

    DeskFixture *m_desk = nullptr;
    StartupSequence *m_startup = nullptr;
};

void TestSettingsFile::throughMenu(const char *item, std::function<void(QDialog *)> edit)
{
    whenModal<QDialog>(ModalReady::Active, std::move(edit));
    child<QAction>(m_startup->console(), item)->trigger();
}

void TestSettingsFile::compareWithGolden(const QString &golden)
{
    // The temporary folder differs from run to run.
    QByteArray bytes = readBytes(m_desk->path("config/Velmora.ini"));
    QByteArray folder;
    QVERIFY(Cp1250::encode(m_desk->path("zálohy"), &folder));
    bytes.replace(folder, "@BACKUPS@");
    const QString stored = QFINDTESTDATA("golden/settings-01.ini");
    const QString path = QFileInfo(stored).dir().filePath(golden);
    if (qEnvironmentVariableIntValue("VELMORA_WRITE_GOLDEN") == 1)
        writeBytes(path, bytes);
    QCOMPARE(bytes, readBytes(path));
}

void TestSettingsFile::scriptOfChangesWritesTheSameBytes()
{
    DeskFixture desk;
    m_desk = &desk;
    MessageDialogsTestHook::engage();
    Program() = ProgramValues();
    QVERIFY(QDir().mkpath(desk.path("zálohy")));
    QVERIFY(QDir().mkpath(desk.path("config")));
    QVERIFY(Cp1250Lines::write(desk.path("config/Velmora.ini"), InitialIni).ok());

    auto startup = std::make_unique<StartupSequence>();
    m_startup = startup.get();
    startup->setInstanceName(
        QStringLiteral("velmora-test-settings-%1").arg(QCoreApplication::applicationPid()));
    startup->setConfigToolLauncher([] { return true; });
    startup->setCommandLine(QString());
    whenModal<TFormLogin>([](TFormLogin *dialog) {
        dialog->findChild<QLineEdit *>("EditPass")->setText(MasterPassword());
        dialog->accept();
    });
    QCOMPARE(startup->start(), StartupSequence::Outcome::Run);
    startup->console()->show();
    compareWithGolden("settings-01.ini");

    throughMenu("MenuItemSetupSolar", [](QDialog *window) {
        child<QLineEdit>(window, "IntegerEditOff")->setText("15");
        child<QPushButton>(window, "ButtonOffAdd")->click();
        child<QCheckBox>(window, "CheckBoxUseDialogs")->setChecked(false);
        child<QPushButton>(window, "ButtonOk")->click();
    });
    compareWithGolden("settings-02.ini");

    throughMenu("MenuItemSetupSolar", [](QDialog *window) {
        child<QCheckBox>(window, "CheckBoxSaleSalesAll")->setChecked(false);
        child<QLineEdit>(window, "EditPort")->setText("0278");
        QTest::keyClick(window, Qt::Key_Escape); // "Storno"
    });
    compareWithGolden("settings-03.ini");

    throughMenu("MenuItemSetupPrint", [](QDialog *window) {
        child<QPlainTextEdit>(window, "MemoAddress")->setPlainText("Solárium Žluťoučký\nHlavní 1");
        child<QRadioButton>(window, "RadioButtonAuto")->setChecked(true);
        child<QPushButton>(window, "ButtonOk")->click();
    });
    compareWithGolden("settings-04.ini");

    throughMenu("MenuItemSetupPrint", [](QDialog *window) {
        child<QPlainTextEdit>(window, "MemoTitle")->setPlainText("Doklad");
        window->close(); // the close box keeps what was typed
    });
    compareWithGolden("settings-05.ini");

    const QString backups = desk.path("zálohy");
    throughMenu("MenuItemBackup", [backups](QDialog *window) {
        child<QCheckBox>(window, "CheckBoxBackupTime")->click();
        child<QLineEdit>(window, "EditBackupPathTime")->setText(backups);
        child<QCheckBox>(window, "CheckBoxBackupDay")->click();
        child<QLineEdit>(window, "EditBackupPathDay")->setText(backups);
        child<QPushButton>(window, "ButtonOk")->click();
    });
    compareWithGolden("settings-06.ini");

    throughMenu("MenuItemDatabase", [](QDialog *window) {
        child<QCheckBox>(window, "CheckBoxWait")->setChecked(true);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    throughMenu("MenuItemDatabase", [](QDialog *window) {
        child<QCheckBox>(window, "CheckBoxSave")->setChecked(false);
        child<QCheckBox>(window, "CheckBoxSales")->setChecked(true);
        child<QLineEdit>(window, "IntegerEditSales")->setText("30");
        child<QPushButton>(window, "ButtonOk")->click();
    });
    compareWithGolden("settings-07.ini");

    startup.reset(); // the program's end
    compareWithGolden("settings-08.ini");
    MessageDialogsTestHook::release();
}

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
