#pragma once

#include <QString>

// A value of the program's version information by its key ("ProductName", "ProductVersion",
// "FileVersion", "CompanyName", ...); keys match without regard to letter case. An unknown key
// gives an empty text.
QString GetVersionInfo(const QString &key);

// Where the desk calls for help; shown in the about box and in messages that need support.
inline const QString SupportContact = QStringLiteral("podpora@velmora.cz");
