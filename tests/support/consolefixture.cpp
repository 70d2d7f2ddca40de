#include "consolefixture.h"

#include "core/programvalues.h"
#include "data/table.h"
#include "ui/common/messagedialogs.h"
#include "userdialogs/formuser.h"

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

    m_session = std::make_unique<DeskSession>(m_report);
    if (!desk().database().connectDirectory(m_desk.dataDirectory()))
        qFatal("connect");
    m_session->loadSettings();
    OpenUsers(m_session->users(), DeskSession::usersFileName());
    m_session->setSolarSettings(&m_settings);
    if (!desk().openTables() || !desk().tableSaleSolars().setIndexName(QStringLiteral("_PARAGON")))
        qFatal("open");
    m_console = std::make_unique<TFormVelmora>(*m_session);
    m_report.setOwner(m_console.get());
    m_console->setRunQuestions(&m_dialogs);
    MessageDialogsTestHook::takeMessages();
    if (showConsole)
        show();
}

ConsoleFixture::~ConsoleFixture()
{
    m_console.reset();
    m_report.setOwner(nullptr);
    m_session.reset();
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
    return desk().database();
}
