#pragma once

#include <QString>
#include <QStringList>

// Values that the start-up sets once and the whole program reads.
struct ProgramValues
{
    QString ProductText;     // "Velmora 1.0.2.3"
    QString ProgramDir;      // folder of the program file, with a trailing separator
    QString DatabaseDir;     // directory of the database alias
    QString NetFileDir;      // the table engine's net-file directory
    QString LogFileName;     // event log
    QString JournalFileName; // sales journal
    QStringList JournalLines;
    QString CurrentUser;
    QString CommandLine;
    bool Restored = false;
};

ProgramValues &Program();
