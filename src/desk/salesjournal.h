#pragma once

#include "core/textfile.h"

#include <QDateTime>
#include <QString>

// The plain-text sales journal: one line per sale that is not kept as a receipt. Its lines live
// in the program-wide journal list, mirrored whole in the journal file.
namespace SalesJournal {

inline constexpr int MaxLinesAtStart = 1024;

// At start: loads an existing file, keeps its last 1024 lines and writes it back.
FileResult loadAndTrim();

QString formatLine(const QDateTime &when, int unit, double minutePrice, int discount, int seconds,
                   const QString &user);

// Appends the line to the list and writes the whole list.
FileResult append(const QString &line);

} // namespace SalesJournal
