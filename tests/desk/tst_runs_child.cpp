// A desk with its runs, its run file and a real port watchdog on the simulated board, to be
// killed by the test at some moment of a run:
//   tst_runs_child DIR run        unit 1 runs 01:30
//   tst_runs_child DIR stop-open  unit 1 ran, its stop dialog is open
//   tst_runs_child DIR stopping   unit 1 ran, its sale is being written (the test makes it slow)
//   tst_runs_child DIR loop       random units start and stop, "started U" and "sold U" told
#include "core/programvalues.h"
#include "desk/desk.h"
#include "desk/eventlog.h"
#include "desk/runfile.h"
#include "desk/solarruns.h"
#include "fakes/erroroutputreport.h"
#include "fakes/fakesolarsettings.h"
#include "fakes/scriptedrundialogs.h"
#include "portio/portaccess.h"
#include "portio/watchdogkeeper.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>

namespace {

void say(const QByteArray &line)
{
    std::puts(line.constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString directory = QString::fromLocal8Bit(argv[1]);
    const QByteArray mode = argv[2];
    initializePortAccess(); // the back end from the environment, with the watchdog
    WatchdogKeeper keeper(portWatchdog());
    ErrorOutputReport report;
    Desk desk(report);
    if (!desk.database().connectDirectory(directory) || !desk.openTables())
        return 3;
    Program().CurrentUser = QStringLiteral("Eva");
    FakeSolarSettings settings;
    // Every run starts at 01:30; a stop dialog is closed, or held open in "stop-open".
    ScriptedRunDialogs questions;
    questions.m_start =
        StartInput{QStringLiteral("01"), QStringLiteral("30"), QStringLiteral("10")};
    if (mode == "stop-open") {
        questions.m_whileStopOpen = [](const StopFigures &) {
            say("stop open");
            QEventLoop open; // the dialog's loop, until the test kills the desk
            open.exec();
        };
    }
    SolarRuns runs(desk);
    runs.setSettings(&settings);
    runs.setQuestions(&questions);
    runs.loadOffers();
    runs.keepRunsIn(directory + QStringLiteral("/") + RunFile::FileName);
    // Told once the sale is committed: its transaction's log line follows the commit.
    QObject::connect(&desk.eventLog(), &EventLog::lineAdded, &app, [](const QString &line) {
        static const QRegularExpression sold(QStringLiteral("Transakce solárko\\[(\\d)\\]: OK"));
        if (const QRegularExpressionMatch found = sold.match(line); found.hasMatch())
            say("sold " + found.captured(1).toLatin1());
    });

    if (mode == "loop") {
        QTimer next;
        QObject::connect(&next, &QTimer::timeout, &app, [&runs] {
            const int unit = QRandomGenerator::global()->bounded(1, 9);
            const bool counting = runs.isCounting(unit);
            runs.command(unit, std::nullopt);
            if (!counting && runs.isCounting(unit))
                say("started " + QByteArray::number(unit));
        });
        next.start(10);
        return app.exec();
    }
    runs.command(1, std::nullopt);
    say("running");
    if (mode != "run") {
        QTimer::singleShot(1500, &app, [&runs] {
            say("stopping");
            runs.command(1, std::nullopt);
        });
    }
    return app.exec();
}
