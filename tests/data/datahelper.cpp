// Helper process for the data tests: holds a table open, or writes sales until it is killed.
//   datahelper hold DIR FILE shared|exclusive   opens the table, prints "open" (or "refused"),
//                                               then waits until its standard input closes
//   datahelper sales DIR                        records sales in a loop, one transaction each,
//                                               printing "sale" after each commit
//   datahelper pending DIR                      writes one sale into all three tables, prints
//                                               "pending" and waits without committing

#include "data/database.h"
#include "data/table.h"
#include "desk/salonschema.h"

#include <QCoreApplication>
#include <QDate>
#include <QTime>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const char *text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

void waitForStdinToClose()
{
    char buffer[64];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
}

// One sale: receipt, unit counters, cash balance.
bool writeSale(Table &sales, Table &solars, Table &money, int number)
{
    if (!sales.append({number, QDate(2026, 1, 1), QTime(10, 0), 1, false, 21, 10.0, 0, 60,
                       QStringLiteral("helper")}))
        return false;
    if (!solars.locate(QStringLiteral("SOLAR"), 1) || !solars.edit() ||
        !solars.setValue(QStringLiteral("STARTUP"),
                         solars.value(QStringLiteral("STARTUP")).toInt() + 1) ||
        !solars.post())
        return false;
    return money.edit() &&
           money.setValue(QStringLiteral("MONEY"),
                          money.value(QStringLiteral("MONEY")).toDouble() + 10.0) &&
           money.post();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    Database database{deskDatabaseSchema()};
    if (!database.connectDirectory(args.at(2)))
        return 3;

    if (args.at(1) == QLatin1String("hold") && args.size() == 5) {
        Table table(&database, args.at(3));
        table.setExclusive(args.at(4) == QLatin1String("exclusive"));
        say(table.open() ? "open" : "refused");
        waitForStdinToClose();
        return 0;
    }

    Table sales(&database, saleSolarsTable().fileName());
    Table solars(&database, solarsTable().fileName());
    Table money(&database, moneyTable().fileName());
    if (!sales.open() || !solars.open() || !money.open())
        return 4;
    sales.last();
    int number = sales.hasCurrentRecord() ? sales.value(QStringLiteral("PARAGON")).toInt() : 0;

    if (args.at(1) == QLatin1String("pending")) {
        if (!database.startTransaction() || !writeSale(sales, solars, money, number + 1))
            return 5;
        say("pending");
        waitForStdinToClose();
        return 0;
    }
    if (args.at(1) == QLatin1String("sales")) {
        for (;;) {
            if (!database.startTransaction() || !writeSale(sales, solars, money, ++number) ||
                !database.commit())
                return 5;
            say("sale");
        }
    }
    return 2;
}
