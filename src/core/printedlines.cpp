#include "core/printedlines.h"

#include <algorithm>

QList<qsizetype> printedLineEnds(const QString &typedLine, const QStringList &printedLines)
{
    QList<qsizetype> ends;
    qsizetype position = 0;
    for (const QString &line : printedLines) {
        position = std::max(typedLine.indexOf(line, position), position) + line.size();
        ends.append(position);
    }
    return ends;
}

QStringList linesThatFit(const QStringList &typedLines, int maxLines, const PrintedLines &printed)
{
    QStringList kept;
    qsizetype room = maxLines;
    for (const QString &line : typedLines) {
        QStringList lines = printed(line);
        if (lines.isEmpty())
            lines = QStringList{line};
        if (lines.size() <= room) {
            kept.append(line);
            room -= lines.size();
            continue;
        }
        if (room > 0)
            kept.append(line.left(printedLineEnds(line, lines).at(room - 1)));
        break;
    }
    return kept;
}
