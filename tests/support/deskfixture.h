#pragma once

#include "console/rundialogs.h"
#include "fakes/fakeclock.h"
#include "fakes/fakesolarsettings.h"
#include "fakes/whenmodal.h"
#include "users/userregister.h"

#include <QTemporaryDir>

#include <functional>

// Answers the start and stop dialogs without windows and remembers what the stop dialogs showed.
class ScriptedRunDialogs : public RunDialogs
{
public:
    std::optional<StartInput> askStart(int unit, const SolarSettings &, QWidget *) override;
    TFormStop::Result askStop(const StopFigures &figures, QWidget *) override;

    std::optional<StartInput> m_start =
        StartInput{QStringLiteral("01"), QStringLiteral("30"), QStringLiteral("0")};
    QList<TFormStop::Result> m_stopAnswers;                   // in order; Close once they run out
    std::function<void(const StopFigures &)> m_whileStopOpen; // runs while "the dialog is open"
    QList<int> m_startedUnits;
    QList<StopFigures> m_stops;
};

// A fresh installation in a temporary folder, registered as the alias, the simulated relay board
// as the port, the working folder there, the message dialogs answered by their test hook and a
// fake clock. Everything is put back on destruction.
class DeskFixture
{
public:
    DeskFixture();
    ~DeskFixture();

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString dataDirectory() const { return path(QStringLiteral("data")); }
    quint8 portRegister() const; // the simulated data register at 0378
    void setPortRegister(quint8 value);

    FakeClock m_clock;

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
};

class TFormVelmora;

// The console on a fresh installation, logged in as the built-in administrator (or the given
// user), with fake settings and scripted run dialogs; shown unless asked not to.
class ConsoleFixture
{
public:
    explicit ConsoleFixture(const QList<User> &users = {}, const QString &user = {},
                            bool show = true);
    ~ConsoleFixture();

    TFormVelmora &console() { return *m_console; }
    void show();
    qint64 receiptCount();
    QVariant solarsValue(int unit, const QString &field);
    double money();

    DeskFixture m_desk;
    FakeSolarSettings m_settings;
    ScriptedRunDialogs m_dialogs;

private:
    std::unique_ptr<TFormVelmora> m_console;
};
