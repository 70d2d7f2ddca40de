#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The lines the port watchdog adds to the desk's run file when it switches units off on its own
// (the desk dead or hung): "off<TAB>2<TAB>1765450000000", unit 2 off at that millisecond since
// the epoch, and at the desk's death "down<TAB>1765450000000", after the stamps of every unit it
// found on or knew running. The desk's next start books each interrupted run up to its stamp; a
// run without one at a death the watchdog saw never had its bed on.
namespace RunStamps {

struct OffStamp
{
    int unit = 0;
    qint64 epochMs = 0;
};

QByteArray offLine(int unit, qint64 epochMs);
std::optional<OffStamp> parseOffLine(const QByteArray &line);
std::optional<qint64> parseDownLine(const QByteArray &line);

// Appends a stamp for each unit whose bit is set in unitBits, and with deskDied the death's
// line, in one write; true when there was nothing to write, too.
bool appendOffStamps(const QString &runFile, quint32 unitBits, qint64 epochMs, bool deskDied);

} // namespace RunStamps
