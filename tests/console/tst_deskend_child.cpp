// A desk with three runs: units 1 and 3 counting, unit 2 stopped with its stop dialog open. It
// waits in that dialog's loop for the test's signal, then tells what it recorded. In the mode
// "frozen" it never returns to an event loop once the dialog is open.
#include "consolefixture.h"

#include "console/formvelmora.h"
#include "console/rundialogs.h"
#include "console/stopdialog.h"
#include "data/query.h"
#include "fakes/whenmodal.h"
#include "portio/endrequest.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Starts every run with 01:30 and shows the real stop dialog.
class EndTestDialogs : public RunQuestions
{
public:
    EndTestDialogs(TFormVelmora &console, DeskSession &session)
        : m_windows(&console,
                    [&session]() -> const SolarSettings & { return session.solarSettings(); })
    {}
    std::optional<StartInput> askStart(int) override { return StartInput{"01", "30", "0"}; }
    StopAnswer askStop(const StopFigures &figures) override { return m_windows.askStop(figures); }
    bool confirmSwitchedOff(int unit) override { return m_windows.confirmSwitchedOff(unit); }

private:
    WindowRunDialogs m_windows;
};

void runFor(ConsoleFixture &desk, int unit, int seconds)
{
    desk.console().MenuItemSolarClick(unit);
    // Only the seconds counted here: the unit's own timer waits an hour.
    desk.session()
        .runs()
        .findChild<QTimer *>(QString("TimerSolar%1").arg(unit))
        ->setInterval(3600 * 1000);
    desk.countDown(unit, seconds);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const bool frozen = qstrcmp(argv[1], "frozen") == 0;
    ConsoleFixture desk;
    // The register where the test can read it after this process has gone; the board is
    // opened at the first access, which comes below.
    qputenv("VELMORA_PORT_SIM_DIR", argv[2]);
    TFormVelmora &console = desk.console();
    EndTestDialogs dialogs(console, desk.session());
    console.setRunQuestions(&dialogs);
    runFor(desk, 1, 30);
    runFor(desk, 2, 10);
    runFor(desk, 3, 5);

    const EndRequestNotifier endRequests;
    QObject::connect(&endRequests, &EndRequestNotifier::endRequested, &console,
                     &TFormVelmora::endOnRequest);
    whenModal<TFormStop>([frozen](TFormStop *) {
        std::printf("ready %x\n", ReadPort(DefaultPortAddress, 0));
        std::fflush(stdout);
        while (frozen)
            pause();
    });
    QTimer::singleShot(0, &console, [&console] { console.MenuItemSolarClick(2); });
    const int code = QApplication::exec();

    Query sales(&desk.desk().database());
    sales.setSql("select SOLAR, STOP, PERIOD from SaleSolars order by PARAGON");
    for (bool more = sales.exec() && sales.first(); more; more = sales.next())
        std::printf("sale %d %d %d\n", sales.value(0).toInt(), sales.value(1).toInt(),
                    sales.value(2).toInt());
    std::printf("log %s\n", qPrintable(desk.desk().eventLog().lines().last()));
    return code;
}
