#include "desk/salesjournal.h"

#include "core/czechformat.h"
#include "core/programvalues.h"

#include <QFileInfo>

namespace SalesJournal {

FileResult loadAndTrim()
{
    QStringList &lines = Program().JournalLines;
    lines.clear();
    const QString &path = Program().JournalFileName;
    if (!QFileInfo::exists(path))
        return FileResult::success();
    const FileResult read = Cp1250Lines::read(path, &lines);
    if (!read.ok())
        return read;
    if (lines.size() > MaxLinesAtStart)
        lines.remove(0, lines.size() - MaxLinesAtStart);
    return Cp1250Lines::write(path, lines);
}

QString formatLine(const QDateTime &when, int unit, double minutePrice, int discount, int seconds,
                   const QString &user)
{
    return QStringLiteral("%1  %2  %3  %4  %5 %  %6 s  %7")
        .arg(CzechFormat::shortDate(when.date()), CzechFormat::longTime(when.time()))
        .arg(unit)
        .arg(CzechFormat::moneyPadded(minutePrice, 10))
        .arg(discount, 2)
        .arg(seconds, 4)
        .arg(user);
}

FileResult append(const QString &line)
{
    Program().JournalLines.append(line);
    return Cp1250Lines::write(Program().JournalFileName, Program().JournalLines);
}

} // namespace SalesJournal
