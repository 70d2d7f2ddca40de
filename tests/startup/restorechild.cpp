// Restores the tables from two backups by turns until the restore test kills it, writing
// "restored" after each:
//   tst_restore_child DATA BACKUP_A BACKUP_B
#include "startup/tablerestore.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MessageDialogsTestHook::engage();
    const QStringList arguments = app.arguments();
    for (int turn = 0;; ++turn) {
        MessageDialogsTestHook::queueAnswers({true});
        if (!RestoreTablesFrom(arguments.at(2 + turn % 2), arguments.at(1)))
            return 1;
        std::puts("restored");
        std::fflush(stdout);
    }
}
