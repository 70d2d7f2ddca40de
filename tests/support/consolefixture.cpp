#include "consolefixture.h"

#include "console/formvelmora.h"
#include "core/programvalues.h"
#include "data/table.h"
#include "ui/common/messagedialogs.h"

ConsoleFixture::ConsoleFixture(const QList<User> &users, const QString &user, bool showConsole)
{
    MessageDialogsTestHook::engage();
    Program() = ProgramValues();
    Program().ProductText = QStringLiteral("Velmora 1.0.2.3");
    Program().DatabaseDir = m_desk.dataDirectory();
    Program().JournalFileName = m_desk.dataDirectory() + QStringLiteral("/SalesSolars.txt");
    Program().CurrentUser = user.isEmpty() ? QStringLiteral("Administrator") : user;
    UserRegister registered;
    for (const User &each : users)
        registered.add(each);
    if (!registered.save(m_desk.dataDirectory() + QStringLiteral("/Velmora.usr")).ok())
        qFatal("users file");

    m_console = std::make_unique<TFormVelmora>();
    if (!m_console->database().connectDirectory(m_desk.dataDirectory()))
        qFatal("connect");
    m_console->createSettingsWindows();
    m_console->setSolarSettings(&m_settings);
    m_console->setRunQuestions(&m_dialogs);
    if (!m_console->OpenDatabase() ||
        !m_console->tableSaleSolars().setIndexName(QStringLiteral("_PARAGON")))
        qFatal("open");
    MessageDialogsTestHook::takeMessages();
    if (showConsole)
        show();
}

ConsoleFixture::~ConsoleFixture()
{
    m_console.reset();
    MessageDialogsTestHook::release();
}

void ConsoleFixture::countDown(int unit, int seconds)
{
    for (int i = 0; i < seconds; ++i) {
        m_desk.m_clock.m_tick += 1000;
        m_console->TimerSolarTimer(unit);
    }
}

void ConsoleFixture::show()
{
    m_console->show();
}

Database &ConsoleFixture::database()
{
    return m_console->database();
}
