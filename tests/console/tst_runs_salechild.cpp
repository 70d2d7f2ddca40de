// Sells one run on the given installation; the test kills it inside the transaction.
#include "console/databasesaver.h"
#include "console/eventlog.h"
#include "console/saletransaction.h"
#include "data/database.h"
#include "data/table.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv); // a failing sale would show its error
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
    SaleRecorder recorder(database, money, solars, receipts, numbers, log, saver);
    std::puts("selling");
    std::fflush(stdout);
    Sale sale;
    sale.unit = 1;
    sale.total = 15;
    sale.seconds = 90;
    sale.minutePrice = 10;
    sale.taxRate = 21;
    return recorder.SaleSolarTransaction(sale) ? 0 : 1;
}
