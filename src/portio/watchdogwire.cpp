#include "portio/watchdogwire.h"

#include "portio/portaddress.h"

#include <algorithm>

namespace WatchdogWire {

namespace {

const QByteArray PortPrefix = QByteArrayLiteral("port ");
const QByteArray PaidPrefix = QByteArrayLiteral("paid ");
const QByteArray FreePrefix = QByteArrayLiteral("free ");
const QByteArray RunsPrefix = QByteArrayLiteral("runs ");
const QByteArray BeatLine = QByteArrayLiteral("beat");
const QByteArray EndLine = QByteArrayLiteral("end");

QByteArray portText(quint32 port)
{
    return portTextFromAddress(port).toLatin1();
}

std::optional<quint32> portOf(const QByteArray &text)
{
    return parsePortText(QString::fromLatin1(text));
}

// "0378 2" or "0378 2 5000": the register, a unit from 1 to 8 and, when asked, a time.
struct UnitWord
{
    quint32 port = 0;
    int unit = 0;
    qint64 milliseconds = 0;
};

std::optional<UnitWord> unitWord(const QByteArray &rest, bool withTime)
{
    const QList<QByteArray> parts = rest.split(' ');
    if (parts.size() != (withTime ? 3 : 2))
        return std::nullopt;
    const auto port = portOf(parts.at(0));
    bool unitOk = false, timeOk = !withTime;
    const int unit = parts.at(1).toInt(&unitOk);
    const qint64 milliseconds = withTime ? parts.at(2).toLongLong(&timeOk) : 0;
    if (!port || !unitOk || unit < 1 || unit > 8 || !timeOk || milliseconds < 0)
        return std::nullopt;
    return UnitWord{*port, unit, milliseconds};
}

} // namespace

QByteArray portWord(quint32 port)
{
    return PortPrefix + portText(port) + '\n';
}

QByteArray beatWord()
{
    return BeatLine + '\n';
}

QByteArray paidWord(quint32 port, int unit, qint64 remainingMs)
{
    return PaidPrefix + portText(port) + ' ' + QByteArray::number(unit) + ' ' +
           QByteArray::number(remainingMs) + '\n';
}

QByteArray freeWord(quint32 port, int unit)
{
    return FreePrefix + portText(port) + ' ' + QByteArray::number(unit) + '\n';
}

QByteArray runsWord(quint32 port, const QString &runFile)
{
    return RunsPrefix + portText(port) + ' ' + runFile.toUtf8() + '\n';
}

QByteArray endWord()
{
    return EndLine + '\n';
}

void Orders::feed(const QByteArray &bytes, qint64 nowMs)
{
    m_partial += bytes;
    qsizetype lineEnd;
    while ((lineEnd = m_partial.indexOf('\n')) >= 0) {
        take(m_partial.left(lineEnd), nowMs);
        m_partial.remove(0, lineEnd + 1);
    }
}

void Orders::take(const QByteArray &line, qint64 nowMs)
{
    if (line == EndLine) {
        m_ended = true;
    } else if (line == BeatLine) {
        m_lastBeatMs = nowMs;
    } else if (line.startsWith(PortPrefix)) {
        const auto port = portOf(line.mid(PortPrefix.size()));
        if (port && !m_registers.contains(*port))
            m_registers.append(*port);
    } else if (line.startsWith(PaidPrefix)) {
        if (const auto word = unitWord(line.mid(PaidPrefix.size()), true)) {
            forgetRun(word->port, word->unit);
            m_runs.append({word->port, word->unit, nowMs + word->milliseconds});
        }
    } else if (line.startsWith(RunsPrefix)) {
        const QByteArray rest = line.mid(RunsPrefix.size());
        const qsizetype space = rest.indexOf(' ');
        const auto port = portOf(rest.left(space));
        if (space > 0 && port)
            m_runFiles.insert(*port, QString::fromUtf8(rest.mid(space + 1)));
    } else if (line.startsWith(FreePrefix)) {
        if (const auto word = unitWord(line.mid(FreePrefix.size()), false))
            forgetRun(word->port, word->unit);
    }
}

QList<quint32> Orders::registersToSwitchOff() const
{
    return m_ended ? QList<quint32>() : m_registers;
}

QList<PaidRun> Orders::overdueRuns(qint64 nowMs) const
{
    QList<PaidRun> overdue;
    if (silentFor(nowMs) < SilenceMs)
        return overdue;
    for (const PaidRun &run : m_runs) {
        if (nowMs - run.endMs >= OverrunMs)
            overdue.append(run);
    }
    return overdue;
}

quint32 Orders::paidUnits(quint32 port) const
{
    quint32 bits = 0;
    for (const PaidRun &run : m_runs) {
        if (run.port == port)
            bits |= 1u << (run.unit - 1);
    }
    return bits;
}

void Orders::forgetRun(quint32 port, int unit)
{
    m_runs.removeIf(
        [port, unit](const PaidRun &run) { return run.port == port && run.unit == unit; });
}

} // namespace WatchdogWire
