// Sells on the given installation until the test kills it:
//   tst_sale_child DIR          one run of unit 1 (the test kills it inside the transaction)
//   tst_sale_child DIR loop     random runs of random units, one sale after another, each
//                               reported as "sold" once it is committed
//   tst_sale_child DIR protected-loop  the same on tables protected with TestTablePassword
//   tst_sale_child DIR backup TO  backups into TO, one after another, selling between the steps;
//                                 "copied" after each
#include "data/tablekeys.h"
#include "data/tablesnapshot.h"
#include "desk/desk.h"
#include "fakes/erroroutputreport.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ErrorOutputReport report;
    const QString mode = app.arguments().value(2);
    if (mode == QLatin1String("protected-loop"))
        TableKeys::registerPassword(QStringLiteral(TestTablePassword));
    Desk desk(report);
    if (!desk.database().connectDirectory(app.arguments().at(1)))
        return 2;
    if (!desk.openTables())
        return 3;
    std::puts("selling");
    std::fflush(stdout);
    Sale sale;
    sale.unit = 1;
    sale.total = 15;
    sale.seconds = 90;
    sale.minutePrice = 10;
    sale.taxRate = 21;
    SaleRecorder &recorder = desk.saleRecorder();
    if (!mode.endsWith(QLatin1String("loop")) && mode != QLatin1String("backup"))
        return recorder.SaleSolarTransaction(sale) ? 0 : 1;
    QRandomGenerator &random = *QRandomGenerator::global();
    const auto sell = [&] {
        // One crown a second, so the balance is the sum of the stored periods.
        sale.unit = random.bounded(1, 9);
        sale.seconds = random.bounded(1, 601);
        sale.total = sale.seconds;
        sale.minutePrice = 60;
        return recorder.SaleSolarTransaction(sale);
    };
    if (mode == QLatin1String("backup")) {
        TableSnapshot snapshot(desk.database(), 8);
        snapshot.setBetweenSteps([&] {
            if (random.bounded(4) == 0 && !sell())
                std::exit(1);
        });
        while (snapshot.copyTo(app.arguments().value(3))) {
            std::puts("copied");
            std::fflush(stdout);
        }
        return 1;
    }
    for (;;) {
        if (!sell())
            return 1;
        std::puts("sold");
        std::fflush(stdout);
    }
}
