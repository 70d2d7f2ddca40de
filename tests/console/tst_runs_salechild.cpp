// Sells on the given installation until the test kills it:
//   tst_runs_salechild DIR          one run of unit 1 (the test kills it inside the transaction)
//   tst_runs_salechild DIR loop     random runs of random units, one sale after another
#include "data/database.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/eventlog.h"
#include "desk/saletransaction.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);     // a failing sale would show its error
    MessageDialogsTestHook::engage(); // ... but no window may wait for an answer
    Database database;
    if (!database.connectDirectory(app.arguments().at(1)))
        return 2;
    Table money(&database, QStringLiteral("Money.DB"));
    Table solars(&database, QStringLiteral("Solars.DB"));
    Table receipts(&database, QStringLiteral("SaleSolars.DB"));
    Table numbers(&database, QStringLiteral("SaleSolars.DB"));
    if (!money.open() || !solars.open() || !receipts.open() || !numbers.open())
        return 3;
    EventLog log(QStringLiteral("child.log"));
    DatabaseSaver saver(log);
    SaleRecorder recorder(database, money, solars, receipts, numbers, log, saver,
                          [] { ShowDatabaseError(false); });
    std::puts("selling");
    std::fflush(stdout);
    Sale sale;
    sale.unit = 1;
    sale.total = 15;
    sale.seconds = 90;
    sale.minutePrice = 10;
    sale.taxRate = 21;
    if (app.arguments().value(2) != QLatin1String("loop"))
        return recorder.SaleSolarTransaction(sale) ? 0 : 1;
    QRandomGenerator &random = *QRandomGenerator::global();
    for (;;) {
        // One crown a second, so the balance is the sum of the stored periods.
        sale.unit = random.bounded(1, 9);
        sale.seconds = random.bounded(1, 601);
        sale.total = sale.seconds;
        sale.minutePrice = 60;
        if (!recorder.SaleSolarTransaction(sale))
            return 1;
    }
}
