#pragma once

#include "deskfixture.h"
#include "fakes/whenmodal.h"

#include "console/formvelmora.h"
#include "users/userregister.h"

#include <memory>

// The session and its console on a fresh installation, logged in as the built-in administrator
// (or the given user), with fake settings and scripted run dialogs; shown unless asked not to.
class ConsoleFixture : public StoredFigures
{
public:
    explicit ConsoleFixture(const QList<User> &users = {}, const QString &user = {},
                            bool show = true);
    ~ConsoleFixture();

    TFormVelmora &console() { return *m_console; }
    DeskSession &session() { return *m_session; }
    Desk &desk() { return m_session->desk(); }
    // The unit's countdown timer ticks that many times, a second apart on the fake clock.
    void countDown(int unit, int seconds);
    void show();

    DeskFixture m_desk;
    FakeSolarSettings m_settings;
    ScriptedRunDialogs m_dialogs;

protected:
    Database &database() override;

private:
    WindowDeskReport m_report;
    std::unique_ptr<DeskSession> m_session;
    std::unique_ptr<TFormVelmora> m_console;
};
