#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The lines that one typed line takes when printed in a box of fixed width.
using PrintedLines = std::function<QStringList(const QString &typedLine)>;

// Where each printed line of a typed line ends in it: printing drops the spaces at the breaks
// and keeps everything else in order.
QList<qsizetype> printedLineEnds(const QString &typedLine, const QStringList &printedLines);

// The typed lines that a box of maxLines printed lines holds: the first line that overflows is
// cut where its last printed line with room ends, or dropped when none has room, and every line
// after it goes. A typed line takes one printed line at least.
QStringList linesThatFit(const QStringList &typedLines, int maxLines, const PrintedLines &printed);
