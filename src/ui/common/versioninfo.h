#pragma once

#include <QCommandLineOption>
#include <QString>

// A value of the program's version information by its key ("ProductName", "ProductVersion",
// "FileVersion", "CompanyName", ...); keys match without regard to letter case. An unknown key
// gives an empty text.
QString GetVersionInfo(const QString &key);

// What a program prints for --version: "velmora-dbconfig 1.0.2.3".
QString versionLine(const QString &programName);

// -h/--help and -v/--version of the programs' command lines, described in Czech like their
// other options.
QCommandLineOption helpOption();
QCommandLineOption versionOption();

// Where the desk calls for help; shown in the about box and in messages that need support.
inline const QString SupportContact = QStringLiteral("podpora@velmora.cz");
